#include "platform/progfolder.h"

#include "platform/filesave.h"
#include "vt_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace vt {

QString programFolder()
{
    QString dir = qEnvironmentVariable("VANTRELL_HOME");
    if (dir.isEmpty())
        dir = QDir::homePath() + QStringLiteral("/.local/share/vantrell");
    QDir().mkpath(dir);
    return QDir(dir).absolutePath();
}

QString resourcesFolder()
{
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/vantrell");
    if (QFileInfo(beside).isDir())
        return QDir(beside).absolutePath();
    return QStringLiteral(VT_RESOURCES_DIR);
}

static void seedFrom(const QString &src, const QString &dst)
{
    QDirIterator it(src, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString rel = QDir(src).relativeFilePath(file);
        const QString target = dst + u'/' + rel;
        if (QFileInfo::exists(target))
            continue;
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile in(file);
        if (in.open(QIODevice::ReadOnly))
            replaceRegenerableFile(target, in.readAll(), in.permissions() | QFileDevice::WriteOwner);
    }
}

void seedProgramFolder()
{
    const QString dst = programFolder();
    seedFrom(resourcesFolder(), dst);
    // Files the build generates (the workbook template) live in the build tree.
    if (QFileInfo(QStringLiteral(VT_GENERATED_DIR)).isDir())
        seedFrom(QStringLiteral(VT_GENERATED_DIR), dst);
}

} // namespace vt
