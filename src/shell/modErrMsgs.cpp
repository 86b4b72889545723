#include "shell/modErrMsgs.h"

#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/timers.h"
#include "shell/frmMsgBox.h"
#include "shell/modMain.h"

#include <limits>

namespace vt {

namespace {
constexpr int kNoticeStyle = vbOKOnly | vbSystemModal | vbMsgBoxSetForeground;
}

QString errRecord(int32_t n, const QString &location)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString num = QString::number(n);
    return QStringLiteral("<Begin=") + num + u'>' + QString(26, u'-') + crlf
        + QStringLiteral(" M=") + Err.Description + crlf
        + QStringLiteral(" N=") + QString::number(Err.Number) + crlf
        + QStringLiteral(" S=") + location + crlf
        + QStringLiteral(" T=") + GeneralDate(now()) + crlf
        + QStringLiteral("<End=") + num + u'>' + QString(28, u'-') + crlf;
}

void errLoc(const QString &location)
{
    if (Err.Number == 0)
        return;
    // The count stops at its largest value instead of overflowing inside a trap.
    if (errCount < std::numeric_limits<int32_t>::max())
        ++errCount;
    if (UserLevel < 1)
        MsgBox(Err.Description + QStringLiteral("\r\n") + location, kNoticeStyle);
    else
        MsgBox(errRecord(errCount, location), kNoticeStyle);
}

void seeErrBox()
{
    if (Err.Number != 0)
        MsgBox(Err.Description, kNoticeStyle);
}

void seeErrLoc(const QString &location)
{
    if (Err.Number != 0)
        MsgBox(location + QStringLiteral("\r\n") + Err.Description, kNoticeStyle);
}

void seeExcBug(const QString &location)
{
    MsgBox(QStringLiteral("If you come accross this message please let us know.\r\n"
                          "This bug comes up when some older PC's are running Excel.  \r\n"
                          "We are working on this problem...\r\n"
                          "Location: ") + location,
           kNoticeStyle);
}

void shoMsgBox(const QString &message, const QString &title, bool okOnly)
{
    frmMsgBox *box = frmMsgBox::get();
    box->ask(message, title, okOnly);
}

void installErrorReporter()
{
    setErrorReporter([](const QString &location) { errLoc(location); });
}

} // namespace vt
