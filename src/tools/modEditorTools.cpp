#include "tools/modEditorTools.h"

#include "editor/modEditorNbr.h"
#include "tools/frmDocInfo.h"
#include "tools/frmGoTo.h"
#include "tools/frmLogFonts.h"
#include "tools/frmSymbols.h"
#include "tools/frmTimeDate.h"

namespace vt {

namespace {

// Shows a tool window modeless over the main window, bringing it forward when
// it is already open.
template <class T>
void showOwned()
{
    T *w = T::get();
    w->show();
    w->raise();
    w->activateWindow();
}

class EditorTools : public ToolsNbr {
public:
    void showGoTo() override { showOwned<frmGoTo>(); }
    void showLogFonts() override { showOwned<frmLogFonts>(); }
    void showTimeDate() override { showOwned<frmTimeDate>(); }
    void showSymbols() override { showOwned<frmSymbols>(); }
    void showDocInfo() override { showOwned<frmDocInfo>(); }
};

} // namespace

void installEditorTools()
{
    static EditorTools tools;
    installTools(&tools);
}

} // namespace vt
