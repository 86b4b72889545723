// Small files that a case writes before it starts the part under test.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace vttest {

// Writes bytes to a new file at path (an old one is replaced); false when it
// could not be opened or written.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace vttest
