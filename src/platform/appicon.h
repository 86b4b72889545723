// The program's own icon, for every window and for the desktop's menu.
//
// The windows' icon is drawn here rather than read from a picture file: Qt
// reads no SVG without an extra image plugin. resources/vantrell.svg holds the
// same drawing for the desktop, and resources/vantrell.desktop the menu entry.
#pragma once

#include <QIcon>
#include <QString>

namespace vt {

// The icon at the sizes window managers and task bars ask for.
QIcon programIcon();
// Makes it the icon of every window of the application, and names the desktop
// entry, so a desktop matches the running program with its menu entry.
void useProgramIcon();
// Writes the desktop entry into `folder` (the program folder) from the shipped
// one, with Exec naming `program` and Icon naming the folder's vantrell.svg, so
// that the copy works from a desktop's menu wherever the program was built.
// Rewritten only when its text changes; false when it could not be written.
bool writeDesktopEntry(const QString &folder, const QString &program);

} // namespace vt
