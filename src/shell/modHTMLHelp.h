// The Help menu's calls into the program's help pages.
#pragma once

#include <QString>
#include <cstdint>

class QWidget;

namespace vt {

// The help file: the help folder in the program folder, shown in the viewer
// window "Main".
QString HelpFile();

void hlpContents(QWidget *owner);
void hlpIndex(QWidget *owner);
// Opens the search panel and runs its (empty) search.
void hlpSearch(QWidget *owner);
void hlpContext(QWidget *owner, int32_t contextNumber);

} // namespace vt
