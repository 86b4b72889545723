// Long work in the user's thread (loading a large file): it yields to the
// event loop between steps, so windows stay painted and a Cancel can be
// clicked, and it stops at its next yield when the session ends.
#pragma once

namespace vt::longwork {

// Marks long work under way for as long as it lives; scopes may nest.
class Scope {
public:
    Scope();
    ~Scope();
    Scope(const Scope &) = delete;
    Scope &operator=(const Scope &) = delete;
};

bool running();
// The program is to end: the running work gives up at its next yield. The
// request lasts until the last scope has ended.
void requestStop();
bool stopRequested();

// Work the user's thread handed to a thread of the pool (a file read). The
// caller waits for it to end, also when cancelled, so none should be left
// when the event loop ends; if one were, the program would end with the
// process's exit at once rather than through the static destructors, which
// that thread may still need.
void backgroundStarted();
void backgroundEnded();
bool backgroundRunning();

} // namespace vt::longwork
