#include "export/modExpNbr.h"

#include "export/frmExpSet.h"
#include "platform/errors.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"

namespace vt {

void lodExpSetup() { frmExpSet::get(); }

void extExcel()
{
    if (!xlConnected)
        return;
    trapErrors([] {
        xlClosing = true;
        // The spreadsheet program itself comes with the export subsystem;
        // until then there is nothing to quit but the connection flags.
        xlBookOk = false;
        xlLinked = false;
        xlConnected = false;
    });
    Err.Clear();
}

namespace {
class ExportLink : public ExportNbr {
public:
    void lodExpSetup() override { vt::lodExpSetup(); }
    void extExcel() override { vt::extExcel(); }
};
} // namespace

void installExportSubsystem()
{
    static ExportLink link;
    installExport(&link);
}

} // namespace vt
