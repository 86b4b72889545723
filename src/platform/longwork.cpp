#include "platform/longwork.h"

#include "platform/timers.h"

namespace vt::longwork {

namespace {
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

void yield() { doEvents(); }

} // namespace vt::longwork
