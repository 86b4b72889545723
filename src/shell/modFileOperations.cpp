#include "shell/modFileOperations.h"

#include "platform/errors.h"
#include "platform/msgbox.h"
#include "shell/modErrMsgs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vt {

QString GetFTitle(const QString &path)
{
    Err.Clear();
    QString title;
    trapErrors([&] {
        // Paths built by the program may use either separator.
        const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
        const QString name = path.mid(cut + 1);
        static const QString wild = QStringLiteral("*?<>|\"");
        for (QChar c : name)
            if (wild.contains(c))
                return;
        title = name;
    });
    errLoc(QStringLiteral("modFileOperations/GetFTitle"));
    return title;
}

int16_t CopyFile(const QString &source, const QString &destination)
{
    Err.Clear();
    int16_t result = 0;
    const bool ok = trapErrors([&] {
        const QFileInfo src(source);
        if (!src.exists() || src.isDir())
            raise(53, {}, QStringLiteral("CopyFile"));
        QString target = destination;
        if (QFileInfo(destination).isDir())
            target = QDir(destination).filePath(src.fileName());
        const QFileInfo dst(target);
        if (dst.exists() && dst.canonicalFilePath() == src.canonicalFilePath())
            return; // already there
        if (dst.exists()) {
            const int a = MsgBox(QStringLiteral("The file ''") + QDir::toNativeSeparators(target)
                                     + QStringLiteral("'' already exists.\r\nDo you want to replace it with ''")
                                     + QDir::toNativeSeparators(source) + QStringLiteral("''?"),
                                 vbYesNo | vbQuestion | vbDefaultButton2, QStringLiteral("Confirm File Replace"));
            if (a != vbYes)
                return;
        }
        if (!QFileInfo(dst.absolutePath()).isDir())
            raise(76, {}, QStringLiteral("CopyFile"));
        QFile in(source);
        if (!in.open(QIODevice::ReadOnly))
            raise(70, {}, QStringLiteral("CopyFile"));
        // Written aside and moved into place, so a failed copy never leaves a
        // half-written destination behind.
        QSaveFile out(target);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            raise(70, {}, QStringLiteral("CopyFile"));
        char buf[65536];
        for (;;) {
            const qint64 n = in.read(buf, sizeof buf);
            if (n < 0)
                raise(57, {}, QStringLiteral("CopyFile"));
            if (n == 0)
                break;
            if (out.write(buf, n) != n)
                raise(61, {}, QStringLiteral("CopyFile"));
        }
        if (!out.commit())
            raise(75, {}, QStringLiteral("CopyFile"));
    });
    if (!ok) {
        errLoc(QStringLiteral("CopyFile module"));
        result = 1;
    }
    return result;
}

bool filExist(const QString &path)
{
    if (path.isEmpty() || QFileInfo(path).isDir())
        return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    f.close();
    return true;
}

} // namespace vt
