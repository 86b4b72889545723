#include "platform/portmap.h"

#include <QByteArray>

namespace vt {

QString portDevice(int port)
{
    if (port < 1)
        return {};
    const QByteArray env = qgetenv("VANTRELL_COM" + QByteArray::number(port));
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    if (port <= 4)
        return QStringLiteral("/dev/ttyUSB%1").arg(port - 1);
    if (port <= 8)
        return QStringLiteral("/dev/ttyACM%1").arg(port - 5);
    if (port <= 16)
        return QStringLiteral("/dev/ttyS%1").arg(port - 9);
    return {};
}

} // namespace vt
