#include "remote/modRemoteNbr.h"

#include "remote/frmRemCtr.h"
#include "platform/timerctl.h"
#include "shell/modErrMsgs.h"
#include "shell/modNeighbours.h"

#include <QLabel>
#include <QProgressBar>

namespace vt {

namespace {
class RemoteLink : public RemoteNbr {
public:
    Form *frmRemCtr() override { return vt::frmRemCtr::get(); }
    void lodRemCtr() override { vt::frmRemCtr::get()->lodRemCtr(); }
    void extRemCtr(int cancel) override
    {
        if (vt::frmRemCtr::isLoaded())
            vt::frmRemCtr::instance()->extRemCtr(cancel);
    }
    // A panel not loaded has nothing to show: it is not loaded for that.
    void resetPrgrsBar() override
    {
        if (vt::frmRemCtr::isLoaded()) {
            vt::frmRemCtr::instance()->prgRemCtr->setRange(0, 100);
            vt::frmRemCtr::instance()->prgRemCtr->setValue(0);
        }
    }
    void showPrgrs(int barValue, const QString &percent) override
    {
        if (vt::frmRemCtr::isLoaded()) {
            vt::frmRemCtr::instance()->prgRemCtr->setValue(barValue);
            vt::frmRemCtr::instance()->labPrgrsVal->setText(percent);
        }
    }
    void setPCycleTag(const QString &tag) override
    {
        if (vt::frmRemCtr::isLoaded())
            vt::frmRemCtr::instance()->tmrPCycle->Tag = tag;
    }
    // The panel has its export pane; the others come with it later.
    void seeZOvuFra(int16_t pane) override
    {
        if (pane != 4) {
            notAvailableYet(QStringLiteral("This pane of the remote-control panel"));
            return;
        }
        vt::frmRemCtr *panel = vt::frmRemCtr::get();
        panel->show();
        panel->raise();
        panel->activateWindow();
    }
};
} // namespace

void installRemoteSubsystem()
{
    static RemoteLink link;
    installRemote(&link);
}

} // namespace vt
