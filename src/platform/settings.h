// The per-user settings store: string values addressed by application title,
// section and key, one INI file per application title. Every read goes to the
// file, so running copies see each other's records. Writes are gathered and
// each file is rewritten once per burst of changes: the instance records that
// other copies read reach the file as soon as the program's thread returns to
// its event loop, the rest within kSettingsSettleMs, and everything at exit.
// Sections and keys match without regard to case, as the registry did; a
// stored spelling is kept.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <functional>

namespace vt {

// Folder of the INI files: $VANTRELL_CONFIG, else ~/.config/vantrell/.
QString settingsFolder();
QString settingsFile(const QString &app);

QString GetSetting(const QString &app, const QString &section, const QString &key,
                   const QString &defaultValue = {});
void SaveSetting(const QString &app, const QString &section, const QString &key, const QString &value);
// Deletes a key, a whole section (empty key) or the whole application (empty
// section). Deleting what does not exist is silent.
void DeleteSetting(const QString &app, const QString &section = {}, const QString &key = {});
// All key/value pairs of a section, in stored order.
QList<QPair<QString, QString>> GetAllSettings(const QString &app, const QString &section);
bool SectionExists(const QString &app, const QString &section);

// How long other changes may wait for their write.
constexpr int kSettingsSettleMs = 1000;
// Writes every change still waiting, now. Exit does it by itself; a
// program that ends without exiting (_exit) calls it first.
void flushSettings();
// Whether changes wait to be written (for tests).
bool settingsWaiting();

// Readers that never fail: a missing key or one whose text does not convert
// gives the default, so one bad value cannot stop the reading of the rest.
bool GetSettingBool(const QString &app, const QString &section, const QString &key, bool defaultValue);
int GetSettingInt(const QString &app, const QString &section, const QString &key, int defaultValue);
double GetSettingDouble(const QString &app, const QString &section, const QString &key, double defaultValue);

// Problems with the settings files are told once per file (or folder) and
// run, never raised: a file with lines that cannot be read is read for what
// it holds, and a copy of it as it was is kept beside it ("name.ini.orig")
// before anything is written over it; a file or folder that cannot be read or
// written leaves the program on its defaults, and what it saves is dropped.
// Until a receiver is set the notices wait; setting one hands it everything
// that waited, as one text, and each later notice as it comes.
using SettingsNoticeFn = std::function<void(const QString &text)>;
void setSettingsNotice(SettingsNoticeFn receiver);
// Forgets what was told and waiting (for tests).
void resetSettingsNotices();

// A lock across processes over the whole settings folder, for scan-and-claim
// sequences (QSettings has no transactions). Waits up to timeoutMs; locked()
// says whether it was obtained. A lock left by a killed process is taken over.
class SettingsLock {
public:
    explicit SettingsLock(const QString &name = QStringLiteral("records"), int timeoutMs = 10000);
    ~SettingsLock();
    SettingsLock(const SettingsLock &) = delete;
    SettingsLock &operator=(const SettingsLock &) = delete;
    bool locked() const;

private:
    int fd_ = -1;
    bool locked_ = false;
};

} // namespace vt
