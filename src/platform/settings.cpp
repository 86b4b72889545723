#include "platform/settings.h"

#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/settings_ini.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QSettings>
#include <QSet>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vt {

QString settingsFolder()
{
    QString dir = qEnvironmentVariable("VANTRELL_CONFIG");
    if (dir.isEmpty())
        dir = QDir::homePath() + QStringLiteral("/.config/vantrell");
    QDir().mkpath(dir);
    return dir;
}

namespace {
QString waitingFileNamed(const QString &folder, const QString &name);
}

QString settingsFile(const QString &app)
{
    // Application names match without regard to case, like sections and keys:
    // an existing file under another spelling is the same application.
    const QString folder = settingsFolder();
    const QString wanted = app + QStringLiteral(".ini");
    if (const QString w = waitingFileNamed(folder, wanted); !w.isEmpty())
        return w;
    if (!QFileInfo::exists(folder + u'/' + wanted)) {
        const QStringList files = QDir(folder).entryList({QStringLiteral("*.ini")}, QDir::Files);
        for (const QString &f : files)
            if (f.compare(wanted, Qt::CaseInsensitive) == 0)
                return folder + u'/' + f;
    }
    return folder + u'/' + wanted;
}

namespace {

// QSettings treats '/' and '\' in keys as group separators; registry names may
// hold them, so they are escaped to keep one level.
QString escapeName(const QString &s)
{
    QString out = s;
    out.replace(u'%', QStringLiteral("%25")).replace(u'/', QStringLiteral("%2F")).replace(u'\\', QStringLiteral("%5C"));
    return out;
}

QString unescapeName(const QString &s)
{
    QString out = s;
    out.replace(QStringLiteral("%2F"), QStringLiteral("/")).replace(QStringLiteral("%5C"), QStringLiteral("\\"))
        .replace(QStringLiteral("%25"), QStringLiteral("%"));
    return out;
}

QString findName(const QStringList &names, const QString &wanted)
{
    const QString esc = escapeName(wanted);
    for (const QString &n : names)
        if (n.compare(esc, Qt::CaseInsensitive) == 0)
            return n;
    return {};
}

// --- problems with the files -------------------------------------------------

struct Notices {
    QSet<QString> told;     // keys of the problems told this run
    QSet<QString> checked;  // files whose unreadable lines were handled
    QSet<QString> unusable; // files that must not be written
    QStringList waiting;
    SettingsNoticeFn receiver;
};

Notices &notices()
{
    static Notices n;
    return n;
}

void tell(const QString &key, const QString &text)
{
    Notices &n = notices();
    if (n.told.contains(key))
        return;
    n.told.insert(key);
    if (n.receiver)
        n.receiver(text);
    else
        n.waiting.append(text);
}

QString reasonText(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

// Why an existing settings file cannot be read; empty when it can be, or
// when it does not exist yet.
QString readProblem(const QString &file)
{
    const QByteArray native = QFile::encodeName(file);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT ? QString() : reasonText(errno);
    struct stat st {};
    const bool isDir = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
    ::close(fd);
    return isDir ? reasonText(EISDIR) : QString();
}

// Where and why a settings file cannot be written: the folder or the file
// itself. Empty when nothing stands in the way that can be seen beforehand.
QPair<QString, QString> writeProblem(const QString &file)
{
    const QString folder = QFileInfo(file).absolutePath();
    // Saving writes a new file and a lock beside the old one: the folder
    // must take new files.
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return {folder, reasonText(errno)};
    const QFileInfo info(file);
    if (info.isDir())
        return {file, reasonText(EISDIR)};
    if (info.exists() && ::access(QFile::encodeName(file).constData(), W_OK) != 0)
        return {file, reasonText(errno)};
    return {};
}

void tellNotSaved(const QString &what, const QString &reason)
{
    tell(QStringLiteral("save:") + what,
         QStringLiteral("Vantrell cannot save its settings in ") + shown(what) + QStringLiteral(": ") + reason
             + QStringLiteral(".\r\nIt goes on with its defaults and the settings it could read; changes to its "
                              "settings will not be saved."));
}

// Whether the file holds lines that the INI reader skips without a word: a
// line that is neither blank, a comment, a "[section]" nor a "key=value".
bool hasUnreadableLines(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = f.readAll();
    for (QByteArray line : bytes.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#') || line.contains('='))
            continue;
        if (line.startsWith('[') && line.endsWith(']'))
            continue;
        return true;
    }
    return false;
}

// The copy that keeps a settings file as it was, beside it. A copy already
// there with the same bytes is reused, so a file that stays broken does not
// leave a new copy at every start.
QString keepOriginal(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = in.readAll();
    for (int n = 1; n < 100; ++n) {
        const QString copy = file + QStringLiteral(".orig") + (n == 1 ? QString() : QString::number(n));
        QFile out(copy);
        if (out.exists()) {
            if (out.open(QIODevice::ReadOnly) && out.readAll() == bytes)
                return copy;
            continue;
        }
        if (out.open(QIODevice::WriteOnly | QIODevice::NewOnly) && out.write(bytes) == bytes.size() && out.flush()) {
            out.close();
            return copy;
        }
        out.remove();
        return {};
    }
    return {};
}

// Looks at what reading the file met, once per file. Every QSettings made
// over a file must come here: the parsed file is shared between them, and
// only the one that read it reports what the reading met. an unreadable file is
// told about and never written over (that would lose what it holds); a file
// with unreadable lines is kept as it was before a write drops those lines.
void checkRead(const QSettings &s, const QString &file)
{
    Notices &n = notices();
    if (n.checked.contains(file))
        return;
    n.checked.insert(file);
    const QString why = readProblem(file);
    if (!why.isEmpty()) {
        n.unusable.insert(file);
        tell(QStringLiteral("read:") + file,
             QStringLiteral("Vantrell cannot read its settings file ") + shown(file) + QStringLiteral(": ") + why
                 + QStringLiteral(".\r\nIt starts with its defaults; its settings will not be saved."));
        return;
    }
    if (s.status() != QSettings::FormatError && !hasUnreadableLines(file))
        return;
    const QString copy = keepOriginal(file);
    if (copy.isEmpty()) {
        // Without a copy the unreadable lines would be lost at the next save.
        n.unusable.insert(file);
        tell(QStringLiteral("lines:") + file,
             QStringLiteral("The settings file ") + shown(file)
                 + QStringLiteral(" has lines that cannot be read; they were skipped.\r\nNo copy of the file could be "
                                  "kept, so its settings will not be saved."));
        return;
    }
    tell(QStringLiteral("lines:") + file,
         QStringLiteral("The settings file ") + shown(file)
             + QStringLiteral(" has lines that cannot be read; they were skipped.\r\nThe file as it was is kept as ")
             + shown(copy) + u'.');
}

// The stored spelling of a section ("" when absent). QSettings keeps top-level
// keys in the "General" group; sections are never empty in this program.
QString storedSection(QSettings &s, const QString &section)
{
    return findName(s.childGroups(), section);
}

// --- changes waiting to be written ------------------------------------------

// Changes are written in bursts: one write of a file carries every change
// made to it since the last. A burst ends when the program's thread returns
// to its event loop if the records other copies read are among the changes,
// else a short while after its first change; everything still waiting is
// written at exit (and on the signals that end the program, which exit
// through the same path). Until then this process reads its own changes from
// here.
struct Waiting {
    QString file;
    QList<ini::Change> changes;
};

struct Batch {
    QList<Waiting> files;
    bool endOfBurstPosted = false;
    QTimer *settle = nullptr;
    bool exitHook = false;
};

Batch &batch()
{
    static Batch b;
    return b;
}

Waiting *waitingFor(const QString &file)
{
    for (Waiting &w : batch().files)
        if (w.file.compare(file, Qt::CaseInsensitive) == 0)
            return &w;
    return nullptr;
}

// The records peers read (the instance records, which every copy's start and
// the port checks look at) must reach the file within the burst.
bool peersRead(const QString &section) { return section.compare(QLatin1String("Pemdora"), Qt::CaseInsensitive) == 0; }

void scheduleWrite(bool soon)
{
    Batch &b = batch();
    QCoreApplication *app = QCoreApplication::instance();
    if (!b.exitHook) {
        b.exitHook = true;
        std::atexit([] { flushSettings(); });
    }
    if (!app || QThread::currentThread() != app->thread()) {
        flushSettings();
        return;
    }
    if (soon) {
        if (!b.endOfBurstPosted) {
            b.endOfBurstPosted = true;
            QTimer::singleShot(0, app, [] {
                batch().endOfBurstPosted = false;
                flushSettings();
            });
        }
        return;
    }
    if (!b.settle) {
        b.settle = new QTimer(app);
        b.settle->setSingleShot(true);
        QObject::connect(b.settle, &QTimer::timeout, [] { flushSettings(); });
        QObject::connect(b.settle, &QObject::destroyed, [] { batch().settle = nullptr; });
        QObject::connect(app, &QCoreApplication::aboutToQuit, [] { flushSettings(); });
    }
    if (!b.settle->isActive())
        b.settle->start(kSettingsSettleMs);
}

void queueChange(const QString &file, ini::Change change)
{
    const bool soon = peersRead(change.section);
    Waiting *w = waitingFor(file);
    if (!w) {
        batch().files.append(Waiting{file, {}});
        w = &batch().files.last();
    }
    w->changes.append(std::move(change));
    scheduleWrite(soon);
}

// What the waiting changes say of a key: false when they do not touch it;
// else its value, or `removed` when they took it away.
bool waitingValue(const QString &file, const QString &section, const QString &key, QString &value, bool &removed)
{
    const Waiting *w = waitingFor(file);
    if (!w)
        return false;
    const QString sec = escapeName(section), k = escapeName(key);
    for (qsizetype i = w->changes.size() - 1; i >= 0; --i) {
        const ini::Change &c = w->changes[i];
        if (c.section.compare(sec, Qt::CaseInsensitive) != 0)
            continue;
        if (c.kind == ini::Change::RemoveSection) {
            removed = true;
            return true;
        }
        if (c.key.compare(k, Qt::CaseInsensitive) != 0)
            continue;
        removed = c.kind == ini::Change::RemoveKey;
        if (!removed)
            value = c.value;
        return true;
    }
    return false;
}

bool readFileBytes(const QString &file, QByteArray &out)
{
    const QByteArray native = QFile::encodeName(file);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char buf[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        out.append(buf, n);
    }
    ::close(fd);
    return true;
}

// Every writer of a settings file holds this lock around its read, change
// and replace, so no copy's changes are lost to another's at the same time.
// An flock: the kernel drops it with the process, whatever way it ends.
class FileWriteLock {
public:
    FileWriteLock()
    {
        const QByteArray path = QFile::encodeName(settingsFolder() + QStringLiteral("/.settings.lock"));
        fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ >= 0)
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~FileWriteLock()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileWriteLock(const FileWriteLock &) = delete;
    FileWriteLock &operator=(const FileWriteLock &) = delete;

private:
    int fd_ = -1;
};

// QSettings takes a file it has read for unchanged while its size and its
// time to the millisecond stay the same. A rewrite of the same size within
// that millisecond would go unseen by readers here and in other copies, so
// the new file's time is always later than the old one's.
void stampAfter(int fd, const QString &file)
{
    // Later than the file there now, and than what this process wrote
    // there last (a file removed and written again may still be taken for
    // the old one).
    // Never destroyed: the last write runs from an exit handler.
    static auto *const lastWrittenAt = new QHash<QString, int64_t>;
    QHash<QString, int64_t> &lastWritten = *lastWrittenAt;
    int64_t floorMs = lastWritten.value(file, -1);
    struct stat st {};
    if (::stat(QFile::encodeName(file).constData(), &st) == 0)
        floorMs = std::max(floorMs, int64_t(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000);
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const int64_t nowMs = int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    // Always set: the kernel stamps a written file from a coarse clock that
    // can lag the fine one by a tick, so the time it gives may equal the old
    // file's even when the fine clock has moved on.
    const int64_t ms = std::max(nowMs, floorMs + 1);
    const timespec later{time_t(ms / 1000), long(ms % 1000) * 1000000};
    const timespec times[2] = {later, later};
    if (::futimens(fd, times) == 0)
        lastWritten.insert(file, ms);
}

// Writes the changes into the file: a new file beside it replaces it in one
// rename, so a reader sees the old text or the new, never a part. A file
// that held settings is synced before it is replaced, so a crash cannot
// leave it empty; a file that did not exist has nothing to lose.
bool writeChanges(const QString &file, const QList<ini::Change> &changes, QString &why)
{
    FileWriteLock lock;
    QByteArray old;
    const bool existed = readFileBytes(file, old);
    const QByteArray text = ini::apply(old, changes);
    if (existed && text == old)
        return true;
    static int serial = 0;
    const QString temp = file + QStringLiteral(".new-%1-%2").arg(::getpid()).arg(++serial);
    const QByteArray tempNative = QFile::encodeName(temp);
    const int fd = ::open(tempNative.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        why = reasonText(errno);
        return false;
    }
    bool ok = true;
    for (qsizetype done = 0; ok && done < text.size();) {
        const ssize_t n = ::write(fd, text.constData() + done, size_t(text.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            done += n;
        else
            why = reasonText(n < 0 ? errno : ENOSPC);
    }
    if (ok)
        stampAfter(fd, file);
    if (ok && existed && ::fdatasync(fd) != 0) {
        ok = false;
        why = reasonText(errno);
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        why = reasonText(errno);
    }
    if (ok && ::rename(tempNative.constData(), QFile::encodeName(file).constData()) != 0) {
        ok = false;
        why = reasonText(errno);
    }
    if (!ok)
        ::unlink(tempNative.constData());
    return ok;
}

void checkedRead(const QString &file)
{
    if (notices().checked.contains(file))
        return;
    QSettings s(file, QSettings::IniFormat);
    checkRead(s, file);
}

bool mayWriteFile(const QString &file)
{
    checkedRead(file);
    if (notices().unusable.contains(file))
        return false;
    const auto [what, why] = writeProblem(file);
    if (what.isEmpty())
        return true;
    tellNotSaved(what, why);
    return false;
}

} // namespace

void flushSettings()
{
    Batch &b = batch();
    if (b.settle)
        b.settle->stop();
    // Taken first: a notice told from here may run code that saves again.
    const QList<Waiting> files = std::exchange(b.files, {});
    for (const Waiting &w : files) {
        QString why;
        if (!writeChanges(w.file, w.changes, why))
            tellNotSaved(w.file, why.isEmpty() ? QStringLiteral("the file could not be written") : why);
    }
}

bool settingsWaiting() { return !batch().files.isEmpty(); }

namespace {

// A file with changes still waiting may not be on disk yet; its name is
// the one to use, whatever the spelling asked for.
QString waitingFileNamed(const QString &folder, const QString &name)
{
    for (const Waiting &w : batch().files)
        if (QFileInfo(w.file).fileName().compare(name, Qt::CaseInsensitive) == 0
            && QFileInfo(w.file).absolutePath() == QFileInfo(folder).absoluteFilePath())
            return w.file;
    return {};
}

} // namespace

QString GetSetting(const QString &app, const QString &section, const QString &key, const QString &defaultValue)
{
    const QString file = settingsFile(app);
    QString waiting;
    bool removed = false;
    if (waitingValue(file, section, key, waiting, removed))
        return removed ? defaultValue : waiting;
    QSettings s(file, QSettings::IniFormat);
    checkRead(s, file);
    const QString sec = storedSection(s, section);
    if (sec.isEmpty())
        return defaultValue;
    s.beginGroup(sec);
    const QString k = findName(s.childKeys(), key);
    if (k.isEmpty())
        return defaultValue;
    return s.value(k).toString();
}

void SaveSetting(const QString &app, const QString &section, const QString &key, const QString &value)
{
    if (section.isEmpty() || key.isEmpty())
        raise(5);
    const QString file = settingsFile(app);
    if (!mayWriteFile(file))
        return;
    queueChange(file, {ini::Change::Set, escapeName(section), escapeName(key), value});
}

void DeleteSetting(const QString &app, const QString &section, const QString &key)
{
    const QString file = settingsFile(app);
    if (section.isEmpty()) {
        // At once, and what waited for the file goes with it.
        batch().files.removeIf([&](const Waiting &w) { return w.file.compare(file, Qt::CaseInsensitive) == 0; });
        QFile::remove(file);
        return;
    }
    if (!QFile::exists(file) && !waitingFor(file))
        return;
    if (!mayWriteFile(file))
        return;
    queueChange(file, {key.isEmpty() ? ini::Change::RemoveSection : ini::Change::RemoveKey, escapeName(section),
                       escapeName(key), QString()});
}

QList<QPair<QString, QString>> GetAllSettings(const QString &app, const QString &section)
{
    QList<QPair<QString, QString>> out;
    const QString file = settingsFile(app);
    QSettings s(file, QSettings::IniFormat);
    checkRead(s, file);
    const QString sec = storedSection(s, section);
    if (!sec.isEmpty()) {
        s.beginGroup(sec);
        for (const QString &k : s.childKeys())
            out.append({unescapeName(k), s.value(k).toString()});
    }
    // This process's changes still waiting to be written.
    if (const Waiting *w = waitingFor(file)) {
        const QString esc = escapeName(section);
        for (const ini::Change &c : w->changes) {
            if (c.section.compare(esc, Qt::CaseInsensitive) != 0)
                continue;
            if (c.kind == ini::Change::RemoveSection) {
                out.clear();
                continue;
            }
            const QString name = unescapeName(c.key);
            const auto at = std::find_if(out.begin(), out.end(), [&](const QPair<QString, QString> &p) {
                return p.first.compare(name, Qt::CaseInsensitive) == 0;
            });
            if (c.kind == ini::Change::RemoveKey) {
                if (at != out.end())
                    out.erase(at);
            } else if (at != out.end()) {
                at->second = c.value;
            } else {
                out.append({name, c.value});
            }
        }
    }
    return out;
}

bool SectionExists(const QString &app, const QString &section)
{
    if (const Waiting *w = waitingFor(settingsFile(app))) {
        const QString esc = escapeName(section);
        for (qsizetype i = w->changes.size() - 1; i >= 0; --i) {
            const ini::Change &c = w->changes[i];
            if (c.section.compare(esc, Qt::CaseInsensitive) != 0)
                continue;
            if (c.kind == ini::Change::Set)
                return true;
            if (c.kind == ini::Change::RemoveSection)
                return false;
            // A key removed: the section may hold others.
            return !GetAllSettings(app, section).isEmpty();
        }
    }
    const QString file = settingsFile(app);
    QSettings s(file, QSettings::IniFormat);
    checkRead(s, file);
    return !storedSection(s, section).isEmpty();
}

namespace {

// Reads a key through a converter; a missing key or one whose text does not
// convert gives the default, and the pending error is left as it was.
template <class T, class Convert>
T readConverted(const QString &app, const QString &section, const QString &key, T defaultValue, Convert convert)
{
    const QString v = GetSetting(app, section, key);
    if (v.isEmpty())
        return defaultValue;
    T out = defaultValue;
    const ErrObject saved = Err;
    if (!trapErrors([&] { out = T(convert(v)); }))
        out = defaultValue;
    Err = saved;
    return out;
}

} // namespace

bool GetSettingBool(const QString &app, const QString &section, const QString &key, bool defaultValue)
{
    return readConverted(app, section, key, defaultValue, [](const QString &v) { return CBool(v); });
}

int GetSettingInt(const QString &app, const QString &section, const QString &key, int defaultValue)
{
    return readConverted(app, section, key, defaultValue, [](const QString &v) { return CLng(v); });
}

double GetSettingDouble(const QString &app, const QString &section, const QString &key, double defaultValue)
{
    return readConverted(app, section, key, defaultValue, [](const QString &v) { return CDbl(v); });
}

void setSettingsNotice(SettingsNoticeFn receiver)
{
    Notices &n = notices();
    n.receiver = std::move(receiver);
    if (n.receiver && !n.waiting.isEmpty()) {
        const QString text = n.waiting.join(QStringLiteral("\r\n\r\n"));
        n.waiting.clear();
        n.receiver(text);
    }
}

void resetSettingsNotices() { notices() = Notices{}; }

SettingsLock::SettingsLock(const QString &name, int timeoutMs)
{
    // An flock, not a lock file with contents: taking it writes nothing, and
    // the kernel drops it with the process however that ends.
    const QByteArray path = QFile::encodeName(settingsFolder() + QStringLiteral("/.") + name + QStringLiteral(".lock"));
    fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0)
        return;
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        locked_ = true;
        return;
    }
    // Held by another copy for the moment it takes to settle its number.
    QElapsedTimer waited;
    waited.start();
    while (!locked_ && waited.elapsed() < timeoutMs) {
        QThread::msleep(5);
        locked_ = ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
    }
}

SettingsLock::~SettingsLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool SettingsLock::locked() const { return locked_; }

} // namespace vt
