#include "serial/modCapLog.h"

#include "platform/errors.h"

#include <QFile>

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

} // namespace vt
