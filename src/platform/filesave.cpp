#include "platform/filesave.h"

#include "platform/errors.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <cstdio>

namespace vt {

namespace {

[[noreturn]] void failSave(int number, const QString &path, const QString &reason)
{
    QString text = errDescription(number) + QStringLiteral(": ") + QDir::toNativeSeparators(path);
    if (!reason.isEmpty())
        text += QStringLiteral(" (") + reason + u')';
    raise(number, text);
}

} // namespace

void writeWholeFile(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        failSave(76, path, QString::fromLocal8Bit(std::strerror(ENOENT)));
    if (info.isDir())
        failSave(75, path, QString::fromLocal8Bit(std::strerror(EISDIR)));
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        failSave(75, path, f.errorString());
    // A write that stops short (the disk filled up) says nothing; the next
    // one fails with the reason. The reason has to be taken there: giving up
    // the temporary file resets the error to a generic "Unknown error".
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 n = f.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const bool full = f.error() == QFileDevice::ResourceError;
            const QString reason = f.errorString();
            f.cancelWriting();
            f.commit();
            failSave(full ? 61 : 75, path, reason);
        }
        done += n;
    }
    if (!f.commit())
        failSave(75, path, f.errorString());
}

bool replaceRegenerableFile(const QString &path, const QByteArray &bytes, QFileDevice::Permissions permissions)
{
    QTemporaryFile temp(path + QStringLiteral(".XXXXXX"));
    if (!temp.open() || temp.write(bytes) != bytes.size() || !temp.flush() || !temp.setPermissions(permissions))
        return false;
    temp.close();
    if (::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return false; // the temporary file goes with its object
    temp.setAutoRemove(false);
    return true;
}

} // namespace vt
