// The main window's side bar: the mounted volumes and their folders in a
// tree, read a level at a time as the user opens it, above the files of the
// folder clicked last; clicking a file opens it as a new CFile. Files dropped
// on the main window open the same way.
#pragma once

#include <QList>
#include <QString>

class QMimeData;
class QTreeWidgetItem;
class QWidget;

namespace vt {

class frmMDI;

// Kinds of volume, as the side bar's pictures tell them apart.
enum DriveType : int { DriveRemovable = 2, DriveFixed = 3, DriveCDROM = 5 };

struct DriveEntry {
    QString root;  // the mount point, ending in "/"
    QString label; // the volume's name; may be empty
    int type = DriveFixed;
};

// The mounted volumes that hold files (not the kernel's own pseudo file
// systems), the root first.
QList<DriveEntry> mountedDrives();

// The side bar (the dock "picFileBar"), its tree and its file list; nullptr
// before the main window has loaded.
QWidget *picFileBar();
void showFileBar(bool visible);

// Builds the side bar on the main window, fills the tree with the mounted
// volumes and makes the window take dropped files. Called once at its load.
void wireFileBar(frmMDI *mdi);

// One root node per volume (key = its path ending in "/"), each with a
// placeholder child so that it shows as expandable.
void fillDrvTree(const QList<DriveEntry> &drives);
void fillDrvTree();
// Reads a node's sub-folders the first time it is opened; an unreadable
// folder shows "Device not avaible!".
void tvwFolders_Expand(QTreeWidgetItem *node);
// The file list shows the folder of the clicked node.
void tvwFolders_NodeClick(QTreeWidgetItem *node);
// The folder the file list shows, ending in "/".
QString File1Path();
// Opens the file list's current file as a new CFile.
void File1_Click();

// True when dragged data holds a list of files (the main window then
// takes the drop); text and anything else is refused.
bool MDIForm_OLEDragOver(const QMimeData *data);
// Opens every dropped file as a new CFile, in the order given; the first
// file that cannot be opened ends the drop without a message.
void MDIForm_OLEDragDrop(const QMimeData *data);

} // namespace vt
