// The File menu's most recently used files: the paths last opened or saved as
// CFiles, newest first, kept in section "MRU" of this copy's settings.
#pragma once

#include <QString>
#include <QStringList>

namespace vt {

inline constexpr int kMRUCount = 4;

QStringList MRUFiles();
// Puts a path first in the list (once; the oldest drops out) and refreshes
// the menu items.
void addMRU(const QString &path);
// Shows the list in the main window's items mnuFileMRUItem(0..3); items
// without a path are hidden.
void showMRU();

} // namespace vt
