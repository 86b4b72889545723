#include "shell/modBusy.h"

#include "platform/errors.h"
#include "platform/msgbox.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"

#include <QStringList>
#include <limits>

namespace vt {

namespace {

constexpr int kNoticeStyle = vbOKOnly | vbSystemModal | vbMsgBoxSetForeground;
const QString crlf = QStringLiteral("\r\n");

void checkIndex(int window, int counter = 0)
{
    if (window < 0 || window > 9 || counter < 0 || counter > 9)
        raise(9);
}

} // namespace

QString deviceEntry(int device)
{
    static const QStringList names = {QStringLiteral(" KT4 Pulsidar"), QStringLiteral(" Shooting Tarvek"),
                                      QStringLiteral(" Unknow Chronograph"), QStringLiteral(" Jotrix Terminal")};
    return device >= 0 && device < names.size() ? names.at(device) : QString();
}

bool croTask(int16_t mode)
{
    switch (mode) {
    case 0:
        return AppSta.TaskBusy;
    case 1: {
        if (!AppSta.TaskBusy) {
            // An abort asked of a task that has ended has nothing left to
            // stop; kept, it would end every exchange of the new task at once.
            abortTask = false;
            AppSta.TaskBusy = true;
            ++AppSta.TaskCount;
            return false;
        }
        QString device = deviceEntry(Device);
        while (device.startsWith(u' '))
            device.remove(0, 1);
        const QString text = QStringLiteral("Vantrell can't execute this function right now.!\t") + crlf
            + QStringLiteral("It is busy talking to  [") + device + QStringLiteral("].") + crlf
            + crlf
            + QStringLiteral("Aborting this task may result in data loss.!") + crlf
            + QStringLiteral("Do you want to abort  [") + device + QStringLiteral("]  task anyway.?\t");
        if (MsgBox(text, vbYesNo | vbDefaultButton2 | vbSystemModal | vbMsgBoxSetForeground) == vbYes)
            abortTask = true;
        return true;
    }
    case 2:
        if (AppSta.TaskBusy && AppSta.TaskCount > 0) {
            --AppSta.TaskCount;
            AppSta.TaskBusy = false;
            return false;
        }
        MsgBox(QStringLiteral("<croTask> Sequence Failure Error...?") + crlf
                   + QStringLiteral("To clear this error you must,") + crlf
                   + QStringLiteral("save your work, and restart the program."),
               kNoticeStyle);
        AppSta.TaskCount = 0;
        return false;
    default:
        return false;
    }
}

CroTaskGuard::CroTaskGuard()
{
    refused_ = croTask(1);
    held_ = !refused_;
}

CroTaskGuard::~CroTaskGuard()
{
    // A destructor must not throw: a failure of the end box is reported here.
    try {
        end();
    } catch (...) {
        // Rethrown inside guarded(): made the pending error and reported.
        guarded(QStringLiteral("modBusy\\CroTaskGuard"), [] { throw; });
    }
}

void CroTaskGuard::end()
{
    if (!held_)
        return;
    held_ = false;
    croTask(2);
}

void trkForm(int16_t mode, QString &name)
{
    switch (mode) {
    case 0:
        ++AppSta.LoadCnt;
        break;
    case 1:
    case 2:
        ++AppSta.UnloadCnt;
        break;
    case 4:
        name = QStringLiteral("Loads=") + QString::number(AppSta.LoadCnt) + QStringLiteral(" Unloads=")
            + QString::number(AppSta.UnloadCnt) + QStringLiteral(" (")
            + QString::number(AppSta.LoadCnt - AppSta.UnloadCnt) + QStringLiteral(")");
        break;
    case 9:
        name = QStringLiteral("Final Exit...") + crlf + QStringLiteral("Loads=") + QString::number(AppSta.LoadCnt)
            + QStringLiteral(" Unloads=") + QString::number(AppSta.UnloadCnt) + crlf;
        break;
    default:
        break;
    }
}

void begBiz(int window, int counter)
{
    checkIndex(window, counter);
    int16_t &v = BizTable[window][counter];
    if (v < std::numeric_limits<int16_t>::max())
        ++v;
}

void endBiz(int window, int counter)
{
    checkIndex(window, counter);
    int16_t &v = BizTable[window][counter];
    if (v > std::numeric_limits<int16_t>::min())
        --v;
}

void seeBizMsg(int window)
{
    checkIndex(window);
    static const char *const names[10] = {"Jotrix", "zEzede", "zOvu", "What3", "Sensotrs",
                                          "What5", "What6", "What7", "What8", "rUvuzu"};
    MsgBox(QString::fromLatin1(names[window]) + QStringLiteral(" is already in use..!"), kNoticeStyle);
}

bool fmtCntTab(int mode, int window)
{
    (void)mode;
    checkIndex(window);
    int used = 0;
    for (int16_t v : BizTable[window])
        if (v != 0)
            ++used;
    return used > 0;
}

void zapBizTable()
{
    for (auto &row : BizTable)
        for (int16_t &v : row)
            v = 0;
}

void seeFunDisabled()
{
    MsgBox(QStringLiteral("[") + QString::number(0) + QStringLiteral(":") + QString::number(UserLevel)
               + QStringLiteral("] - This function is temporarily disabled..."),
           kNoticeStyle);
}

} // namespace vt
