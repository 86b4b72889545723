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

// Work given up by the user's thread but still running on a thread of its
// own (a cancelled file read cannot be stopped midway). While any runs, the
// program must not end through the static destructors, which that thread may
// still need: it ends with the process's exit at once.
void backgroundStarted();
void backgroundEnded();
bool backgroundRunning();

} // namespace vt::longwork
