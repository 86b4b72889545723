#include "chrono/modChronoNbr.h"

#include "chrono/modCroCap.h"
#include "chrono/modCroCox.h"
#include "chrono/modCroDnl.h"
#include "chrono/modCroLnk.h"
#include "chrono/modCroOps.h"
#include "chrono/modCroProbe.h"
#include "chrono/modCroStatus.h"
#include "chrono/modCroTmr.h"
#include "chrono/modCroWake.h"
#include "shell/frmMDI.h"
#include "shell/modBusy.h"
#include "shell/modNeighbours.h"

namespace vt {

namespace {

class ChronoLink : public ChronoNbr {
public:
    void stpCrxWait() override { vt::stpCrxWait(); }
    void stpCom2Wait() override { vt::stpCom2Wait(); }
    void getPortStates() override { vt::getPortStates(); }
    void setCroTmOut() override { vt::setCroTmOut(); }
    void chkCroLink() override { vt::chkCroLink(); }
    void zapCroLink() override { vt::zapCroLink(); }
    void cfileClosed(const QString &caption) override { shootCFileClosed(caption); }
    // The export's menu commands wake the unit before they start; when it
    // cannot be reached they say why in the CFile, as the Chrono menu does.
    bool croWake() override
    {
        if (!nbrSerial().linkPortOpen()) {
            seeNoPort();
            return false;
        }
        if (vt::croWake())
            return true;
        if (!abortTask)
            seeNoCro();
        return false;
    }
    int16_t getCroShots(int16_t kind) override { return vt::getCroShots(kind); }
    void wireCommands() override { wireChronoMenu(frmMDI::instance()); }
    void abtCroTask() override { vt::abtCroTask(); }
};

} // namespace

void installChronoSubsystem()
{
    static ChronoLink link;
    installChrono(&link);
}

} // namespace vt
