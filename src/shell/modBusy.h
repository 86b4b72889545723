// The busy lock that keeps two chronograph tasks apart, the load tracker of
// the windows, and the in-use table of ten windows.
#pragma once

#include <QString>
#include <cstdint>

namespace vt {

// State of the lock and the tracker, one for the run; nothing outside this
// module reads or writes it.
struct AppStaRec {
    bool TaskBusy = false;
    int16_t TaskCount = 0;
    int32_t LoadCnt = 0;
    int32_t UnloadCnt = 0;
};
inline AppStaRec AppSta;

// Set once the user agreed to abort the running chronograph task; the wake-up
// clears it when it starts and gives up when it finds it set; the begin of
// the next task (croTask(1)) clears it too.
inline bool abortTask = false;

// How often each of ten windows is in use: [window][counter].
inline int16_t BizTable[10][10] = {};

// The device names of the port setup's device list, index = Device. The list
// box of the setup window is filled from here, so the busy box and the
// captions name the device the same way.
QString deviceEntry(int device);

// 0 asks (busy?), 1 begins (true: refused, another task runs; the user was
// asked whether to abort it), 2 ends. Any other mode returns false.
bool croTask(int16_t mode);

// Holds the lock for the lifetime of one chronograph task, so that the lock is
// released on every way out of the task, a raised error included:
//     CroTaskGuard task;
//     if (task.refused()) return;
//     ... work ...
class CroTaskGuard {
public:
    CroTaskGuard();
    ~CroTaskGuard();
    CroTaskGuard(const CroTaskGuard &) = delete;
    CroTaskGuard &operator=(const CroTaskGuard &) = delete;
    bool refused() const { return refused_; }
    // Ends the task now (croTask(2)); the destructor then does nothing.
    void end();

private:
    bool refused_ = true;
    bool held_ = false;
};

// Load tracker: 0 load, 1 unload, 2 exit, 4 report into name, 9 final report.
void trkForm(int16_t mode, QString &name);
inline void trkForm(int16_t mode, const char *name)
{
    QString s = QString::fromLatin1(name);
    trkForm(mode, s);
}
// Trace points of start-up and shutdown; they record nothing.
inline void zapTrkForm(const QString &) {}

// In-use table. A window or counter outside 0 to 9 raises error 9.
void begBiz(int window, int counter);
void endBiz(int window, int counter);
void seeBizMsg(int window);
bool fmtCntTab(int mode, int window);
void zapBizTable();

// Tells the user that a function is switched off.
void seeFunDisabled();

} // namespace vt
