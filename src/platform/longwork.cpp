#include "platform/longwork.h"

#include <atomic>

namespace vt::longwork {

namespace {
std::atomic<int> background{0};
int depth = 0;
bool stopAsked = false;
} // namespace

Scope::Scope() { ++depth; }

Scope::~Scope()
{
    if (--depth == 0)
        stopAsked = false;
}

bool running() { return depth > 0; }

void requestStop()
{
    if (depth > 0)
        stopAsked = true;
}

bool stopRequested() { return stopAsked; }

void backgroundStarted() { ++background; }
void backgroundEnded() { --background; }
bool backgroundRunning() { return background > 0; }

} // namespace vt::longwork
