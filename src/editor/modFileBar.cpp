#include "editor/modFileBar.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "shell/frmMDI.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPointer>
#include <QSplitter>
#include <QStorageInfo>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace vt {

namespace {

// Pictures of the nodes (the image list imgFiles).
enum Image { imgRemovable = 1, imgFixed = 2, imgCDROM = 3, imgFolder = 4, imgFolderOpen = 5 };

QIcon nodeIcon(int image)
{
    switch (image) {
    case imgRemovable:
        return QIcon::fromTheme(QStringLiteral("drive-removable-media"));
    case imgCDROM:
        return QIcon::fromTheme(QStringLiteral("drive-optical"));
    case imgFolder:
        return QIcon::fromTheme(QStringLiteral("folder"));
    case imgFolderOpen:
        return QIcon::fromTheme(QStringLiteral("folder-open"));
    default:
        return QIcon::fromTheme(QStringLiteral("drive-harddisk"));
    }
}

constexpr int kKeyRole = Qt::UserRole;      // the node's key: its folder, ending in "/"
constexpr int kImageRole = Qt::UserRole + 1; // its image number

struct FileBar {
    QPointer<QDockWidget> dock;
    QTreeWidget *tvwFolders = nullptr;
    QListWidget *File1 = nullptr;
    QString path; // File1.Path
};

FileBar &bar()
{
    static FileBar b;
    return b;
}

QString withSlash(const QString &path) { return path.endsWith(u'/') ? path : path + u'/'; }

// The folder's sub-folders (hidden ones left out, as a file manager does),
// by name in order.
QStringList subFolders(const QString &folder)
{
    QDir dir(folder);
    return dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
}

bool hasSubFolders(const QString &folder)
{
    QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot);
    return it.hasNext();
}

bool readableFolder(const QString &folder)
{
    const QFileInfo fi(folder);
    return fi.exists() && fi.isDir() && fi.isReadable() && fi.isExecutable();
}

void addPlaceholder(QTreeWidgetItem *node) { node->addChild(new QTreeWidgetItem(QStringList{QString()})); }

int driveTypeOf(const QStorageInfo &v)
{
    const QString fs = QString::fromLatin1(v.fileSystemType());
    const QString dev = QFileInfo(QString::fromLocal8Bit(v.device())).fileName();
    if (fs == QLatin1String("iso9660") || fs == QLatin1String("udf") || dev.startsWith(QLatin1String("sr")))
        return DriveCDROM;
    if (!dev.isEmpty()) {
        // A partition's own folder lies inside its disk's, which says whether
        // the medium can be taken out.
        QDir sys(QFileInfo(QStringLiteral("/sys/class/block/") + dev).canonicalFilePath());
        for (int up = 0; up < 2 && !sys.path().isEmpty(); ++up) {
            QFile f(sys.filePath(QStringLiteral("removable")));
            if (f.open(QIODevice::ReadOnly))
                return f.readAll().trimmed() == "1" ? DriveRemovable : DriveFixed;
            if (!sys.cdUp())
                break;
        }
    }
    return DriveFixed;
}

void setFile1Path(const QString &path)
{
    FileBar &b = bar();
    b.path = withSlash(path);
    if (!b.File1)
        return;
    b.File1->clear();
    const QStringList files = QDir(b.path).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    b.File1->addItems(files);
}

void openAsNewCFile(const QString &path)
{
    CreateNewCFile();
    frmDocument *doc = ActiveForm();
    if (!doc)
        raise(91);
    loadCFile(doc, path, rtfTypeOfName(path));
    doc->SetCaption(path);
    doc->bChanged = false;
}

QStringList droppedFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &u : data->urls())
        if (u.isLocalFile())
            files << u.toLocalFile();
    return files;
}

// The main window's drag and drop, watched from here so that the shell need
// not know about CFiles.
class DropFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        switch (e->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto *d = static_cast<QDragMoveEvent *>(e);
            if (MDIForm_OLEDragOver(d->mimeData()))
                d->acceptProposedAction();
            else
                d->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto *d = static_cast<QDropEvent *>(e);
            if (!MDIForm_OLEDragOver(d->mimeData())) {
                d->ignore();
                return true;
            }
            d->acceptProposedAction();
            guarded(QStringLiteral("frmMDI/MDIForm_OLEDragDrop"), [d] { MDIForm_OLEDragDrop(d->mimeData()); });
            return true;
        }
        default:
            return QObject::eventFilter(watched, e);
        }
    }
};

// Return or Enter on a file opens it, as a click does.
class ListKeys : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(e)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                guarded(QStringLiteral("frmMDI/File1_Click"), &File1_Click);
                return true;
            }
        }
        return QObject::eventFilter(watched, e);
    }
};

} // namespace

QList<DriveEntry> mountedDrives()
{
    QList<DriveEntry> drives;
    QStringList seen;
    const QStorageInfo rootInfo = QStorageInfo::root();
    drives.append({QStringLiteral("/"), rootInfo.name(), DriveFixed});
    seen << QStringLiteral("/");
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes()) {
        const QString root = withSlash(v.rootPath());
        if (!v.isValid() || seen.contains(root) || !QFileInfo(v.rootPath()).isDir())
            continue;
        // Only volumes on a device hold the user's files; proc, sysfs, tmpfs
        // and the like are the kernel's.
        if (!v.device().startsWith("/dev/"))
            continue;
        seen << root;
        drives.append({root, v.name(), driveTypeOf(v)});
    }
    return drives;
}

QWidget *picFileBar() { return bar().dock; }

void showFileBar(bool visible)
{
    if (QDockWidget *d = bar().dock)
        d->setVisible(visible);
}

void wireFileBar(frmMDI *mdi)
{
    FileBar &b = bar();
    auto *dock = new QDockWidget(QStringLiteral("Folders"), mdi);
    dock->setObjectName(QStringLiteral("picFileBar"));
    dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    auto *split = new QSplitter(Qt::Vertical, dock);
    b.tvwFolders = new QTreeWidget(split);
    b.tvwFolders->setObjectName(QStringLiteral("tvwFolders"));
    b.tvwFolders->setHeaderHidden(true);
    b.tvwFolders->setAccessibleName(QStringLiteral("Folders"));
    b.File1 = new QListWidget(split);
    b.File1->setObjectName(QStringLiteral("File1"));
    b.File1->setAccessibleName(QStringLiteral("Files"));
    QFont f = b.File1->font();
    f.setFamily(QStringLiteral("Tahoma"));
    b.File1->setFont(f);
    split->addWidget(b.tvwFolders);
    split->addWidget(b.File1);
    dock->setWidget(split);
    mdi->addDockWidget(Qt::LeftDockWidgetArea, dock);
    dock->hide();
    b.dock = dock;

    QObject::connect(b.tvwFolders, &QTreeWidget::itemExpanded, dock, [](QTreeWidgetItem *node) {
        guarded(QStringLiteral("frmMDI/tvwFolders_Expand"), [node] { tvwFolders_Expand(node); });
    });
    QObject::connect(b.tvwFolders, &QTreeWidget::itemClicked, dock, [](QTreeWidgetItem *node) {
        guarded(QStringLiteral("frmMDI/tvwFolders_NodeClick"), [node] { tvwFolders_NodeClick(node); });
    });
    QObject::connect(b.File1, &QListWidget::itemClicked, dock,
                     [] { guarded(QStringLiteral("frmMDI/File1_Click"), &File1_Click); });
    b.File1->installEventFilter(new ListKeys(b.File1));

    mdi->setAcceptDrops(true);
    mdi->installEventFilter(new DropFilter(dock));

    setFile1Path(QDir::currentPath());
    fillDrvTree();
}

void fillDrvTree(const QList<DriveEntry> &drives)
{
    QTreeWidget *tree = bar().tvwFolders;
    if (!tree)
        return;
    tree->clear();
    for (const DriveEntry &d : drives) {
        const int image = d.type == DriveRemovable ? imgRemovable : d.type == DriveCDROM ? imgCDROM : imgFixed;
        const QString key = withSlash(d.root);
        const QString text = d.label.isEmpty() ? key : key + QStringLiteral(" [") + d.label.toUpper() + u']';
        auto *node = new QTreeWidgetItem(tree, QStringList{text});
        node->setData(0, kKeyRole, key);
        node->setData(0, kImageRole, image);
        node->setIcon(0, nodeIcon(image));
        addPlaceholder(node);
    }
}

void fillDrvTree() { fillDrvTree(mountedDrives()); }

void tvwFolders_Expand(QTreeWidgetItem *node)
{
    if (!node)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        if (node->childCount() > 0 && node->child(0)->text(0).isEmpty() &&
            !node->child(0)->data(0, kKeyRole).isValid()) {
            delete node->takeChild(0);
            const QString key = node->data(0, kKeyRole).toString();
            if (!readableFolder(key))
                raise(68, QStringLiteral("Device unavailable"));
            for (const QString &name : subFolders(key)) {
                const QString childKey = key + name + u'/';
                auto *child = new QTreeWidgetItem(node, QStringList{name});
                child->setData(0, kKeyRole, childKey);
                child->setData(0, kImageRole, int(imgFolder));
                child->setIcon(0, nodeIcon(imgFolder));
                if (readableFolder(childKey) && hasSubFolders(childKey)) {
                    addPlaceholder(child);
                    child->setData(0, kImageRole, int(imgFolderOpen));
                }
            }
        }
    } catch (...) {
        QApplication::restoreOverrideCursor();
        MsgBox(QStringLiteral("Device not avaible!"), vbOKOnly | vbCritical | vbSystemModal | vbMsgBoxSetForeground,
               QStringLiteral("Jotrix"));
        return;
    }
    QApplication::restoreOverrideCursor();
}

void tvwFolders_NodeClick(QTreeWidgetItem *node)
{
    if (!node)
        return;
    const QString key = node->data(0, kKeyRole).toString();
    if (!key.isEmpty())
        setFile1Path(key);
}

QString File1Path() { return bar().path; }

void File1_Click()
{
    FileBar &b = bar();
    if (!b.File1 || !b.File1->currentItem())
        return;
    openAsNewCFile(withSlash(b.path) + b.File1->currentItem()->text());
}

bool MDIForm_OLEDragOver(const QMimeData *data) { return !droppedFiles(data).isEmpty(); }

void MDIForm_OLEDragDrop(const QMimeData *data)
{
    try {
        for (const QString &name : droppedFiles(data))
            openAsNewCFile(name);
    } catch (...) {
        // A file that cannot be opened ends the drop; the CFile window that
        // was being filled stays open, empty, for the user to see.
    }
}

} // namespace vt
