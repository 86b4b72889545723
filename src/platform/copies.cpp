#include "platform/copies.h"

#include "platform/settings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vt::copies {

namespace {

const QString kPrefix = QStringLiteral(".copy-");
const QString kSuffix = QStringLiteral(".run");

struct Mark {
    int fd = -1;
    QString path;
    ~Mark() { close(); }
    void close()
    {
        if (fd < 0)
            return;
        ::unlink(QFile::encodeName(path).constData());
        ::close(fd);
        fd = -1;
    }
};

Mark &own()
{
    static Mark m;
    return m;
}

bool sameFile(int fd, const QByteArray &path)
{
    struct stat a {}, b {};
    return ::fstat(fd, &a) == 0 && ::stat(path.constData(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

QByteArray readAll(int fd)
{
    QByteArray out;
    char buf[32];
    ssize_t n = 0;
    off_t at = 0;
    while ((n = ::pread(fd, buf, sizeof buf, at)) > 0) {
        out.append(buf, n);
        at += n;
    }
    return out;
}

} // namespace

bool markRunning()
{
    Mark &m = own();
    if (m.fd >= 0)
        return true;
    const QString path = settingsFolder() + u'/' + kPrefix + QString::number(::getpid()) + kSuffix;
    const QByteArray native = QFile::encodeName(path);
    // A prober may hold the lock for a moment, or may have just unlinked a
    // stale mark of the same name: retry until the locked file is the one
    // that the name points at.
    for (int attempt = 0; attempt < 200; ++attempt) {
        const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && sameFile(fd, native)) {
            m.fd = fd;
            m.path = path;
            claim(-1);
            return true;
        }
        ::close(fd);
        QThread::msleep(5);
    }
    return false;
}

void claim(int number)
{
    Mark &m = own();
    if (m.fd < 0)
        return;
    const QByteArray text = QByteArray::number(number) + '\n';
    // Not synced: the mark lives no longer than the process, and a machine
    // that goes down ends every copy with it.
    if (::ftruncate(m.fd, 0) == 0) {
        const ssize_t n = ::pwrite(m.fd, text.constData(), size_t(text.size()), 0);
        (void)n;
    }
}

QList<int> others()
{
    QList<int> out;
    const QString folder = settingsFolder();
    const QStringList names = QDir(folder).entryList({kPrefix + u'*' + kSuffix}, QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        const QString path = folder + u'/' + name;
        if (own().fd >= 0 && path == own().path)
            continue;
        const QByteArray native = QFile::encodeName(path);
        const int fd = ::open(native.constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            continue; // gone meanwhile
        // Probers share the lock, so two of them never take each other for
        // a live copy; only the owner holds it exclusively.
        if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
            // Held: the copy lives.
            bool ok = false;
            const int n = readAll(fd).trimmed().toInt(&ok);
            out.append(ok ? n : -1);
        } else if (sameFile(fd, native)) {
            // Nobody holds it: its process has ended.
            ::unlink(native.constData());
        }
        ::close(fd);
    }
    return out;
}

void release() { own().close(); }

} // namespace vt::copies
