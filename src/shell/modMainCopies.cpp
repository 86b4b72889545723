// Who this copy is: the command line, the instance number among the running
// copies and the instance records that the copies keep in their settings.
#include "shell/modMain.h"

#include "platform/conversions.h"
#include "platform/copies.h"
#include "platform/msgbox.h"
#include "platform/settings.h"
#include "shell/modNeighbours.h"

#include <QCoreApplication>
#include <QFile>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <optional>
#include <unistd.h>

namespace vt {

namespace {

const QString kProduct = QStringLiteral("Vantrell");
const QString kSection = QStringLiteral("Pemdora");
const QString kCrLf = QStringLiteral("\r\n");
constexpr int16_t kMaxAppNum = 16;
constexpr int kNoticeStyle = vbSystemModal | vbMsgBoxSetForeground;

std::optional<QString> &commandOverride()
{
    static std::optional<QString> text;
    return text;
}

QString titleOf(int n) { return kProduct + QString::number(n); }

// One key's value: the first "key" anywhere (any case), up to the next comma.
int16_t keyValue(const QString &text, const QString &key)
{
    const qsizetype at = text.indexOf(key, 0, Qt::CaseInsensitive);
    if (at < 0)
        return -1;
    const qsizetype from = at + key.size();
    const qsizetype comma = text.indexOf(u',', from);
    const QString value = comma < 0 ? text.mid(from) : text.mid(from, comma - from);
    if (value.size() >= 3)
        return -1;
    const int16_t n = CInt(Val(value)); // two characters at most: no overflow
    return n < 0 ? int16_t(-1) : n;
}

// "AppPrt" and the terminal's port setting, when "P=" named a port.
void savCmdPort()
{
    if (cmdP < 1)
        return;
    SaveSetting(AppTitle, kSection, QStringLiteral("AppPrt"), QString::number(cmdP));
    SaveSetting(AppTitle, QStringLiteral("frmComSet"), QStringLiteral("CommPort"), QString::number(cmdP));
}

void askTooMany()
{
    const QStringList lines = {
        QStringLiteral("There are to many acitve copies of Vantrell on your system..."),
        QStringLiteral("The system may not be able to handle more then 4 copies. "),
        QStringLiteral("Vantrell has a limit of 4 active copies."),
        QString(),
        QStringLiteral("If you need to run simultaneously more then 4 copies ,"),
        QStringLiteral("use shortcut setup with ''Target:'' parameter specified as ''N=xx'', "),
        QStringLiteral("where xx is the Vantrell number, with range from  0 to 16."),
        QStringLiteral("Please make sure, that you have suficient memory and"),
        QStringLiteral("a high speed computer - 2GHZ or better."),
        QString(),
        QStringLiteral("Would you like to view setup instructions for this.?"),
    };
    if (MsgBox(lines.join(kCrLf), vbYesNo | vbDefaultButton2 | kNoticeStyle, kProduct) == vbYes)
        seeMultiHelp();
}

QString proposalText(int running, int n)
{
    const bool one = running == 1;
    const QString num = QString::number(n);
    const QStringList lines = {
        QStringLiteral("There ") + (one ? QStringLiteral("is") : QStringLiteral("are")) + u' ' + QString::number(running)
            + u' ' + (one ? QStringLiteral("copy") : QStringLiteral("copies")) + QStringLiteral(" of ") + kProduct
            + (one ? QString() : QStringLiteral("s")) + QStringLiteral(" already running...  "),
        QStringLiteral("You will need one COM port for each additional Vantrell.  "),
        QStringLiteral("Each additional Chronograph requires its own COM port."),
        QStringLiteral("Each Vantrell remembers its own setup configuration."),
        QString(),
        QStringLiteral("Only One Vantrell Can Be Linked To Each Chronograph!"),
        QString(),
        QStringLiteral("The new name will be:\t") + kProduct + num,
        QString(),
        QStringLiteral("Support windows will be:\tJotrix") + num + QStringLiteral(",  zEzede") + num
            + QStringLiteral(",  zOvu") + num,
        QString(),
        QStringLiteral("Do you want to add  ") + kProduct + num + QStringLiteral(" now..?"),
    };
    return lines.join(kCrLf);
}

} // namespace

QString Command()
{
    if (commandOverride())
        return *commandOverride();
    if (!QCoreApplication::instance())
        return {};
    return QCoreApplication::arguments().mid(1).join(u' ');
}

void setCommand(const QString &text) { commandOverride() = text; }

void getCmdLine()
{
    cmdN = -1;
    cmdP = -1;
    cmdPath.clear();
    cmdFile.clear();
    QString text = Command();
    if (text.isEmpty())
        return;
    if (text.startsWith(u'"')) {
        text.remove(0, 1);
        if (text.endsWith(u'"'))
            text.chop(1);
    }
    cmdN = keyValue(text, QStringLiteral("N="));
    cmdP = keyValue(text, QStringLiteral("P="));

    QString part;
    const qsizetype lastComma = text.lastIndexOf(u',');
    if (lastComma >= 0)
        part = text.mid(lastComma + 1);
    else if (cmdN != -1 || cmdP != -1)
        return;
    else
        part = text;
    if (part.isEmpty())
        return;
    // "/" separates folders on Linux, besides "\" (and a drive's ":").
    qsizetype sep = std::max(part.lastIndexOf(u'\\'), part.lastIndexOf(u'/'));
    if (sep < 0)
        sep = part.lastIndexOf(u':');
    if (sep >= 0) {
        cmdPath = part.left(sep + 1);
        cmdFile = part.mid(sep + 1);
    } else {
        cmdFile = part;
    }
}

void setAppInst()
{
    // Decide under the settings lock, ask afterwards: a question may stay
    // open for long, and the number this copy wants is already claimed in its
    // running mark, so a copy started meanwhile does not take it.
    enum class Next { Done, BadNumber, TooMany, AlreadyRunning, TakeN, Propose };
    Next next = Next::Done;
    int running = 0;
    int proposal = -1;
    // An "N=" number is taken at once, when it is in range.
    auto takeN = [] {
        if (cmdN > kMaxAppNum)
            return Next::BadNumber;
        copies::claim(cmdN);
        return Next::TakeN;
    };
    {
        SettingsLock lock;
        copies::markRunning();
        const QList<int> others = copies::others();
        if (others.isEmpty()) {
            // First copy: whatever the records of 0 to 3 say, nobody runs them.
            for (int k = 0; k <= 3; ++k) {
                const QString app = titleOf(k);
                SaveSetting(app, kSection, QStringLiteral("AppPrt"), QStringLiteral("0"));
                SaveSetting(app, kSection, QStringLiteral("AppNum"), QString::number(k));
                SaveSetting(app, kSection, QStringLiteral("AppRun"), QString());
                SaveSetting(app, kSection, QStringLiteral("AppEnd"), app);
            }
            if (cmdN == -1) {
                copies::claim(0);
                next = Next::Done;
            } else {
                next = takeN();
            }
        } else {
            // Later copy. A number is taken when a live copy holds it: the
            // record of a copy that crashed or was killed still says
            // "running", but its process is gone.
            QSet<int> taken;
            for (int n : others)
                if (n >= 0 && n <= kMaxAppNum)
                    taken.insert(n);
            running = int(taken.size());
            for (int k = 0; k <= kMaxAppNum && proposal < 0; ++k)
                if (!taken.contains(k))
                    proposal = k;
            if (proposal < 0 || (cmdN == -1 && proposal > 3)) {
                next = Next::TooMany;
            } else if (cmdN != -1) {
                next = taken.contains(cmdN) ? Next::AlreadyRunning : takeN();
            } else {
                copies::claim(proposal);
                next = Next::Propose;
            }
        }
    }
    if (proposal >= 0)
        AppNum = int16_t(proposal);

    switch (next) {
    case Next::Done:
        return;
    case Next::BadNumber:
        seeBadAppNum();
        endProgram();
    case Next::TooMany:
        askTooMany();
        endProgram();
    case Next::AlreadyRunning:
        MsgBox(titleOf(cmdN) + QStringLiteral(" is already running..!"), vbOKOnly | kNoticeStyle);
        endProgram();
    case Next::TakeN:
        AppTitle = titleOf(cmdN);
        AppNum = cmdN;
        savCmdPort();
        return;
    case Next::Propose:
        AppTitle = titleOf(proposal);
        switch (MsgBox(proposalText(running, proposal), vbYesNoCancel | vbDefaultButton3 | kNoticeStyle, kProduct)) {
        case vbYes:
            return;
        case vbCancel:
            seeMultiHelp();
            endProgram();
        default:
            endProgram();
        }
    }
}

QString strAppNum()
{
    return QString::number(AppNum) + u'-' + QString::number(nbrSerial().linkCommPort()) + u' ';
}

void seeMultiHelp()
{
    const QString max = QString::number(kMaxAppNum);
    const QStringList lines = {
        QStringLiteral("\tHOW TO DEAL WITH MULTIPLE CHRONOGRAPHS"),
        QString(),
        QStringLiteral("Vantrell will decide how and where each chrono is connected on"),
        QStringLiteral("startup. To override this decision use the setup described below."),
        QString(),
        QStringLiteral("If you already have a shortcut for Vantrell then make a copy of it."),
        QStringLiteral("Right click on it to get action menu, then click on ''Create Shortcut''. "),
        QStringLiteral("If you do not have a shortcut, right click on ''vantrell.exe'' and then"),
        QStringLiteral("click on ''Create Shortcut''. Always give your shortcuts identifiable "),
        QStringLiteral("names representing chronograph's location, make one for each chrono. "),
        QString(),
        QStringLiteral("To setup each shortcut, right click on it and then click on ''Properties''."),
        QStringLiteral("In the ''Target:'' field, at the end of the line,  enter; space followed by"),
        QStringLiteral("''N=xx'', where xx is the Vantrell number. This version allows  0-") + max,
        QStringLiteral("Vantrells. The shortcut will always connect to the same chronograph."),
        QString(),
        QStringLiteral("Syntax:  ''N=xx,P=yy,Path/File''"),
        QStringLiteral("\txx\t-->\tVantrell Number, 0-") + max,
        QStringLiteral("\tyy\t-->\tPort Number, 1-16\t"),
        QStringLiteral("\tPath\t-->\tMy Directory\t"),
        QStringLiteral("\tFile\t-->\tMy File Name\t"),
        QString(),
        QStringLiteral("You can ignore yy, Path & File."),
    };
    MsgBox(lines.join(kCrLf), vbOKOnly | kNoticeStyle);
}

void seeBadAppNum()
{
    const QStringList lines = {
        QStringLiteral("Vantrell-Shortcut Input Field Error in ''Target:'' ...!"),
        QStringLiteral("Number is out of range, you entered N=") + QString::number(cmdN) + u'.',
        QStringLiteral("Maximum allowed value are - 0 to ") + QString::number(kMaxAppNum),
        QString(),
        QStringLiteral("Do you want to view setup instruction.?"),
    };
    if (MsgBox(lines.join(kCrLf), vbYesNo | vbDefaultButton2 | kNoticeStyle) == vbYes)
        seeMultiHelp();
}

void savAppRun()
{
    SaveSetting(AppTitle, kSection, QStringLiteral("AppNum"), QString::number(AppNum));
    SaveSetting(AppTitle, kSection, QStringLiteral("AppRun"), AppTitle);
    SaveSetting(AppTitle, kSection, QStringLiteral("AppEnd"), QString());
}

void savAppEnd()
{
    AppNum = int16_t(AppNum + 3);
    SaveSetting(AppTitle, kSection, QStringLiteral("AppNum"), QString::number(AppNum));
    SaveSetting(AppTitle, kSection, QStringLiteral("AppRun"), QString());
    SaveSetting(AppTitle, kSection, QStringLiteral("AppEnd"), AppTitle);
    SaveSetting(AppTitle, kSection, QStringLiteral("AppPrt"), QStringLiteral("0"));
}

void endProgram(int exitCode)
{
    // _exit skips the exit handlers that write the settings still waiting.
    flushSettings();
    copies::release();
    std::fflush(nullptr);
    ::_exit(exitCode);
}

void notifyStarted()
{
    const QString path = qEnvironmentVariable("VANTRELL_READY");
    if (path.isEmpty())
        return;
    QTimer::singleShot(0, [path] {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(AppTitle.toUtf8() + '\n');
    });
}

} // namespace vt
