#include "shell/modHTMLHelp.h"

#include "platform/helpviewer.h"
#include "platform/progfolder.h"

namespace vt {

QString HelpFile() { return programFolder() + QStringLiteral("/help") + QStringLiteral(">Main"); }

// The viewer's result is not needed: a missing page has been told to the user.
void hlpContents(QWidget *owner) { help::HtmlHelp(owner, HelpFile(), help::DisplayToc); }

void hlpIndex(QWidget *owner) { help::HtmlHelp(owner, HelpFile(), help::DisplayIndex); }

void hlpSearch(QWidget *owner) { help::HtmlHelp(owner, HelpFile(), help::DisplaySearch, 0, QString()); }

void hlpContext(QWidget *owner, int32_t contextNumber)
{
    help::HtmlHelp(owner, HelpFile(), help::HelpContext, contextNumber);
}

} // namespace vt
