#include "serial/modCapLog.h"

#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/timers.h"

#include <QFile>

#include <charconv>

namespace vt {

namespace {

QFile &logFile()
{
    static QFile f;
    return f;
}

[[noreturn]] void failWith(const QFile &f)
{
    raise(75, f.errorString().isEmpty() ? errDescription(75) : f.errorString());
}

} // namespace

void cLogOpen(const QString &path)
{
    cLogClose();
    QFile &f = logFile();
    f.setFileName(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        failWith(f);
    cLogFile = 1;
}

void cLogWrite(const QString &text)
{
    QFile &f = logFile();
    if (!f.isOpen())
        raise(52); // "Bad file name or number", as a write to a closed file number
    const QByteArray bytes = text.toLatin1();
    if (f.write(bytes) != bytes.size() || !f.flush())
        failWith(f);
}

void cLogClose()
{
    QFile &f = logFile();
    if (f.isOpen())
        f.close();
    cLogFile = 0;
    cLogOn = false;
}

QString cLogPath()
{
    return logFile().isOpen() ? logFile().fileName() : QString();
}

QString stampText()
{
    // The seconds as a Single's shortest decimal text (45296.5).
    char secs[64];
    const auto res = std::to_chars(secs, secs + sizeof secs, float(Timer()), std::chars_format::fixed);
    return QStringLiteral("{Date=") + Format(now(), QStringLiteral("Short Date")) + QStringLiteral("  Time=")
           + Format(now(), QStringLiteral("Long Time")) + QStringLiteral("  t=")
           + QString::fromLatin1(secs, res.ptr - secs) + QStringLiteral(" sec}");
}

QString tagLine(int kind)
{
    static const char *const names[] = {"Open", "Close", "Start", "Stop", "Resume", "Pause", "StartUp", "Cleared"};
    const QString word = kind >= 0 && kind <= 7 ? QString::fromLatin1(names[kind]) : QString();
    const QString crlf = QStringLiteral("\r\n");
    const QString head = kind == 7 ? QString() : crlf + QStringLiteral("TAG:");
    return head + word + u'-' + stampText() + crlf;
}

} // namespace vt
