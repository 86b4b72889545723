#include "editor/modMRU.h"

#include "platform/msgbox.h"
#include "platform/settings.h"
#include "shell/frmMDI.h"

#include <QAction>
#include <QDir>
#include <QMenu>

namespace vt {

namespace {
const QString kSection = QStringLiteral("MRU");
QString key(int i) { return QStringLiteral("File") + QString::number(i + 1); }
} // namespace

QStringList MRUFiles()
{
    QStringList files;
    for (int i = 0; i < kMRUCount; ++i) {
        const QString p = GetSetting(AppTitle, kSection, key(i));
        if (!p.isEmpty())
            files << p;
    }
    return files;
}

void addMRU(const QString &path)
{
    if (path.isEmpty())
        return;
    const QString full = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    QStringList files = MRUFiles();
    files.removeAll(full);
    files.prepend(full);
    for (int i = 0; i < kMRUCount; ++i)
        SaveSetting(AppTitle, kSection, key(i), files.value(i));
    showMRU();
}

void showMRU()
{
    frmMDI *mdi = frmMDI::instance();
    if (!mdi)
        return;
    const QStringList files = MRUFiles();
    for (QAction *a : mdi->mnuFile->actions()) {
        if (a->objectName() != QLatin1String("mnuFileMRUItem"))
            continue;
        const int i = a->property("Index").toInt();
        const QString p = files.value(i);
        a->setData(p);
        a->setText(QStringLiteral("&") + QString::number(i + 1) + u' ' + p);
        a->setVisible(!p.isEmpty());
    }
}

} // namespace vt
