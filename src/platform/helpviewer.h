// The help viewer: the program's help is a folder of HTML pages shown in a
// window of our own. The folder holds
//   contents.html   the table of contents
//   index.html      the keyword index
//   contexts.txt    context numbers to pages, a line "number page[#anchor]"
// and the pages themselves. A help file is named as "folder>window", the
// window part naming the viewer window (its object name).
#pragma once

#include <QString>

class QWidget;

namespace vt::help {

enum Command : int {
    DisplayToc = 1,     // the table of contents
    DisplayIndex = 2,   // the keyword index
    DisplaySearch = 3,  // the search panel; runs the search it is given
    HelpContext = 15,   // the topic of a context number
};

// Opens the help file at what the command asks for, in the one viewer window
// (made on first use, owned by `owner`). A missing help folder, page or
// context number is told to the user in a message box; then the result is
// null. `searchText` is the text HelpSearch runs (empty: none found).
QWidget *HtmlHelp(QWidget *owner, const QString &file, int command, int contextNumber = 0,
                  const QString &searchText = {});

// The viewer window when it is open, else null.
QWidget *viewer();

// Pages of a help folder whose text holds every word of `words`, as
// "page title<TAB>file name", in file-name order. No words: none.
QStringList search(const QString &folder, const QString &words);

} // namespace vt::help
