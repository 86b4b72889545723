#include "shell/modCrsFrms.h"

#include "platform/forms.h"
#include "shell/frmMDI.h"
#include "shell/modNeighbours.h"

#include <QAction>
#include <QToolBar>
#include <QWidget>

namespace vt {

void togTerminal()
{
    Form *f = nbrSerial().frmTerminal();
    if (QWidget *w = f ? f->widget() : nullptr) {
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

} // namespace vt
