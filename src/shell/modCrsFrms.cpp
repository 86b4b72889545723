#include "shell/modCrsFrms.h"

#include "platform/forms.h"
#include "shell/frmMDI.h"
#include "shell/modNeighbours.h"

#include <QAction>
#include <QToolBar>
#include <QWidget>

namespace vt {

namespace {
// A support window's button: a minimised or maximised window comes back as it
// was, a shown one hides, a hidden one shows in front.
void toggleWindow(QWidget *w)
{
    if (w->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) {
        w->setWindowState(w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        w->show();
    } else if (w->isVisible()) {
        w->hide();
    } else {
        w->show();
        w->raise();
        w->activateWindow();
    }
}
} // namespace

void togTerminal()
{
    Form *f = nbrSerial().frmTerminal();
    if (QWidget *w = f ? f->widget() : nullptr)
        toggleWindow(w);
    updTermBtn();
    nbrChrono().setCroTmOut();
}

void updTermBtn()
{
    if (!frmMDI::isLoaded())
        return;
    frmMDI *mdi = frmMDI::instance();
    Form *f = nbrSerial().frmTerminal();
    const bool shown = f && f->widget() && f->widget()->isVisible();
    QAction *button = toolButton(mdi->tbrStandard, QStringLiteral("BTerminal"));
    if (button) {
        // Changing the button's state must not run its own click.
        button->setEnabled(false);
        button->setChecked(shown);
        button->setEnabled(true);
    }
    mdi->mnuLocalPort->setChecked(shown);
}

void togKeypad()
{
    Form *f = nbrRemote().frmRemCtr();
    QWidget *w = f ? f->widget() : nullptr;
    bool shown = false;
    if (w) {
        toggleWindow(w);
        shown = w->isVisible();
    }
    nbrRemote().fixCLogCmds();
    updKeypadBtn();
    // While the panel is up the main window waits; hiding the panel must not
    // leave the main window without input.
    if (frmMDI::isLoaded())
        frmMDI::instance()->setEnabled(!shown);
}

void updKeypadBtn()
{
    if (!frmMDI::isLoaded())
        return;
    frmMDI *mdi = frmMDI::instance();
    Form *f = nbrRemote().frmRemCtr();
    const bool shown = f && f->widget() && f->widget()->isVisible();
    if (QAction *button = toolButton(mdi->tbrStandard, QStringLiteral("Keypad"))) {
        button->setEnabled(false);
        button->setChecked(shown);
        button->setEnabled(true);
    }
    mdi->mnuRemCtr->setChecked(shown);
    if (Form *term = nbrSerial().frmTerminal())
        if (QAction *item = menuItem(term->widget(), QStringLiteral("mnuVewZOvu")))
            item->setChecked(shown);
}

} // namespace vt
