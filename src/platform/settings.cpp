#include "platform/settings.h"

#include "platform/conversions.h"
#include "platform/errors.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QSet>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

QString settingsFile(const QString &app)
{
    // Application names match without regard to case, like sections and keys:
    // an existing file under another spelling is the same application.
    const QString folder = settingsFolder();
    const QString wanted = app + QStringLiteral(".ini");
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

// Whether a write may go to the file; when not, the user has been told.
bool mayWrite(const QSettings &s, const QString &file)
{
    checkRead(s, file);
    if (notices().unusable.contains(file))
        return false;
    const auto [what, why] = writeProblem(file);
    if (what.isEmpty())
        return true;
    tellNotSaved(what, why);
    return false;
}

// After sync(): a failure to write is told, never raised. (A read problem
// also leaves its status behind, but the write itself went through.)
void checkWritten(const QSettings &s, const QString &file)
{
    if (s.status() != QSettings::AccessError)
        return;
    const auto [what, why] = writeProblem(file);
    tellNotSaved(what.isEmpty() ? file : what, why.isEmpty() ? QStringLiteral("the file could not be written") : why);
}

// The stored spelling of a section ("" when absent). QSettings keeps top-level
// keys in the "General" group; sections are never empty in this program.
QString storedSection(QSettings &s, const QString &section)
{
    return findName(s.childGroups(), section);
}

} // namespace

QString GetSetting(const QString &app, const QString &section, const QString &key, const QString &defaultValue)
{
    const QString file = settingsFile(app);
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
    QSettings s(file, QSettings::IniFormat);
    if (!mayWrite(s, file))
        return;
    QString sec = storedSection(s, section);
    if (sec.isEmpty())
        sec = escapeName(section);
    s.beginGroup(sec);
    QString k = findName(s.childKeys(), key);
    if (k.isEmpty())
        k = escapeName(key);
    s.setValue(k, value);
    s.endGroup();
    s.sync();
    checkWritten(s, file);
}

void DeleteSetting(const QString &app, const QString &section, const QString &key)
{
    const QString file = settingsFile(app);
    if (section.isEmpty()) {
        QFile::remove(file);
        return;
    }
    if (!QFile::exists(file))
        return;
    QSettings s(file, QSettings::IniFormat);
    checkRead(s, file);
    const QString sec = storedSection(s, section);
    if (sec.isEmpty() || !mayWrite(s, file))
        return;
    if (key.isEmpty()) {
        s.remove(sec);
    } else {
        s.beginGroup(sec);
        const QString k = findName(s.childKeys(), key);
        if (!k.isEmpty())
            s.remove(k);
        s.endGroup();
    }
    s.sync();
    checkWritten(s, file);
}

QList<QPair<QString, QString>> GetAllSettings(const QString &app, const QString &section)
{
    QList<QPair<QString, QString>> out;
    const QString file = settingsFile(app);
    QSettings s(file, QSettings::IniFormat);
    checkRead(s, file);
    const QString sec = storedSection(s, section);
    if (sec.isEmpty())
        return out;
    s.beginGroup(sec);
    for (const QString &k : s.childKeys())
        out.append({unescapeName(k), s.value(k).toString()});
    return out;
}

bool SectionExists(const QString &app, const QString &section)
{
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
    : lock_(std::make_unique<QLockFile>(settingsFolder() + QStringLiteral("/.") + name + QStringLiteral(".lock")))
{
    lock_->setStaleLockTime(30000);
    lock_->tryLock(timeoutMs);
}

SettingsLock::~SettingsLock() { lock_->unlock(); }

bool SettingsLock::locked() const { return lock_->isLocked(); }

} // namespace vt
