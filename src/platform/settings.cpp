#include "platform/settings.h"

#include "platform/conversions.h"
#include "platform/errors.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>

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

// The stored spelling of a section ("" when absent). QSettings keeps top-level
// keys in the "General" group; sections are never empty in this program.
QString storedSection(QSettings &s, const QString &section)
{
    return findName(s.childGroups(), section);
}

} // namespace

QString GetSetting(const QString &app, const QString &section, const QString &key, const QString &defaultValue)
{
    QSettings s(settingsFile(app), QSettings::IniFormat);
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
    QSettings s(settingsFile(app), QSettings::IniFormat);
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
    if (s.status() != QSettings::NoError)
        raise(75, {}, settingsFile(app));
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
    const QString sec = storedSection(s, section);
    if (sec.isEmpty())
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
}

QList<QPair<QString, QString>> GetAllSettings(const QString &app, const QString &section)
{
    QList<QPair<QString, QString>> out;
    QSettings s(settingsFile(app), QSettings::IniFormat);
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
    QSettings s(settingsFile(app), QSettings::IniFormat);
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

SettingsLock::SettingsLock(const QString &name, int timeoutMs)
    : lock_(std::make_unique<QLockFile>(settingsFolder() + QStringLiteral("/.") + name + QStringLiteral(".lock")))
{
    lock_->setStaleLockTime(30000);
    lock_->tryLock(timeoutMs);
}

SettingsLock::~SettingsLock() { lock_->unlock(); }

bool SettingsLock::locked() const { return lock_->isLocked(); }

} // namespace vt
