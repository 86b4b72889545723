// Which copies of the program are running for this settings store. Each
// running copy holds a mark: a small file in the settings folder, locked with
// flock() for as long as the process lives. The kernel drops the lock when the
// process ends in any way (exit, crash, kill), so a mark whose lock can be
// taken belongs to a copy that is gone and is removed by whoever finds it.
// A mark also carries the instance number the copy has claimed (-1 while it
// has none), so that a copy still asking its user counts as holding it.
//
// Take the settings lock (SettingsLock) around markRunning() and the scan
// that follows, and keep it until claim(): then two copies started at the
// same moment see each other and never claim the same number.
#pragma once

#include <QList>

namespace vt::copies {

// Puts up this process's mark (once; later calls do nothing). Returns false
// when the mark cannot be made (the settings folder is not writable).
bool markRunning();
// Records the instance number this copy holds (-1: none).
void claim(int number);
// The numbers claimed by the other live copies, one entry per copy (-1 for a
// copy that holds none yet). Marks of ended processes are removed on the way.
QList<int> others();
// Takes this process's mark down (normal end; also done at exit).
void release();

} // namespace vt::copies
