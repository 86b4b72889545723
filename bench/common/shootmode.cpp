#include "common/shootmode.h"

#include "chrono/modCroCap.h"
#include "chrono/modCroStatus.h"
#include "editor/modDocument.h"
#include "platform/serialport.h"
#include "serial/frmTerminal.h"
#include "shell/modNeighbours.h"

#include <cstdio>

namespace bench {

bool shootModeOn(vt::frmTerminal *term, const QString &port)
{
    qputenv("VANTRELL_COM1", port.toLocal8Bit());
    term->MSComm1->setCommPort(1);
    vt::CreateNewCFile();
    vt::CroSta.croSnsOn = true;
    vt::subCaptureOnOff(0);
    if (!vt::RxRoute[1] || !term->MSComm1->PortOpen()) {
        std::fprintf(stderr, "Shoot mode did not come on with the link port on %s\n", qPrintable(port));
        return false;
    }
    return true;
}

} // namespace bench
