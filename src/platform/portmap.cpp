#include "platform/portmap.h"

#include "platform/msgbox.h"
#include "platform/settings.h"

#include <QByteArray>
#include <QDir>

#include <algorithm>

namespace vt {

namespace {

const QString kSection = QStringLiteral("PortDevices");

QString &folderSetting()
{
    static QString folder = QStringLiteral("/dev");
    return folder;
}

QString keyOf(int port) { return QStringLiteral("COM") + QString::number(port); }

QString environmentDevice(int port)
{
    const QByteArray env = qgetenv("VANTRELL_COM" + QByteArray::number(port));
    return QString::fromLocal8Bit(env);
}

QString storedDevice(int port)
{
    return GetSetting(AppTitle, kSection, keyOf(port)).trimmed();
}

// Orders names by their stem, then by the number they end in.
bool naturalLess(const QString &a, const QString &b)
{
    auto split = [](const QString &s) {
        qsizetype i = s.size();
        while (i > 0 && s[i - 1].isDigit())
            --i;
        return std::make_pair(s.left(i), i < s.size() ? s.mid(i).toLongLong() : -1LL);
    };
    return split(a) < split(b);
}

QStringList entries(const QString &dir, const QStringList &patterns)
{
    QStringList names = QDir(dir).entryList(patterns, QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end(), naturalLess);
    QStringList paths;
    for (const QString &n : names)
        paths << QDir(dir).filePath(n);
    return paths;
}

} // namespace

QString tablePortDevice(int port)
{
    if (port < 1)
        return {};
    if (port <= 4)
        return QStringLiteral("/dev/ttyUSB%1").arg(port - 1);
    if (port <= 8)
        return QStringLiteral("/dev/ttyACM%1").arg(port - 5);
    if (port <= 16)
        return QStringLiteral("/dev/ttyS%1").arg(port - 9);
    return {};
}

PortDeviceSource portDeviceSource(int port)
{
    if (port < 1)
        return PortDeviceSource::None;
    if (!environmentDevice(port).isEmpty())
        return PortDeviceSource::Environment;
    if (port <= 16 && !storedDevice(port).isEmpty())
        return PortDeviceSource::Settings;
    return tablePortDevice(port).isEmpty() ? PortDeviceSource::None : PortDeviceSource::Table;
}

QString portDevice(int port)
{
    switch (portDeviceSource(port)) {
    case PortDeviceSource::Environment: return environmentDevice(port);
    case PortDeviceSource::Settings: return storedDevice(port);
    case PortDeviceSource::Table: return tablePortDevice(port);
    case PortDeviceSource::None: break;
    }
    return {};
}

void savePortDevice(int port, const QString &device)
{
    if (port < 1 || port > 16)
        return;
    const QString dev = device.trimmed();
    if (dev.isEmpty() || dev == tablePortDevice(port)) {
        if (!storedDevice(port).isEmpty())
            DeleteSetting(AppTitle, kSection, keyOf(port));
        return;
    }
    SaveSetting(AppTitle, kSection, keyOf(port), dev);
}

QStringList serialDevicesPresent()
{
    const QString dev = folderSetting();
    QStringList found;
    for (const char *stem : {"ttyUSB*", "ttyACM*"})
        found << entries(dev, {QString::fromLatin1(stem)});
    found << entries(QDir(dev).filePath(QStringLiteral("serial/by-id")), {});
    found << entries(dev, {QStringLiteral("ttyS*")});
    return found;
}

void setDeviceFolder(const QString &folder) { folderSetting() = folder; }

QString deviceFolder() { return folderSetting(); }

} // namespace vt
