#include "serial/frmTerminal.h"

#include "shell/modBusy.h"

#include <QCloseEvent>

namespace vt {

frmTerminal::frmTerminal()
{
    setObjectName(QStringLiteral("frmTerminal"));
    setWindowTitle(QStringLiteral("zEzede Terminal"));
    setWindowFlag(Qt::Window);
}

frmTerminal::~frmTerminal() = default;

void frmTerminal::Form_Load() { trkForm(0, "Terminal"); }

void frmTerminal::Form_QueryUnload(int &cancel, int unloadMode)
{
    // The window lives for the whole run: the user's close only hides it.
    if (unloadMode == vbFormControlMenu) {
        hide();
        cancel = 1;
    }
}

void frmTerminal::Form_Unload(int &cancel)
{
    (void)cancel;
    trkForm(1, "Terminal");
}

void frmTerminal::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmTerminal::lodTerminal() {}

void frmTerminal::extTerminal(int cancel) { (void)cancel; }

} // namespace vt
