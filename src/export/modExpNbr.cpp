#include "export/modExpNbr.h"

#include "export/frmExpSet.h"
#include "export/modExpExc.h"
#include "export/modExpLnk.h"
#include "export/modExpRdr.h"
#include "platform/errors.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"

namespace vt {

void lodExpSetup() { frmExpSet::lodExpSetup(); }

void extExcel()
{
    if (!xlConnected)
        return;
    xlConnected = false;
    xlClosing = true;
    // The program is ending: the spreadsheet program goes with it, and asks
    // about its own unsaved workbooks.
    trapErrors([] {
        if (xlApp)
            xlApp->Quit();
    });
    Err.Clear();
    if (xlEvents)
        xlEvents->setApp(nullptr);
    xlApp.reset();
    xlBookOk = false;
    xlLinked = false;
}

namespace {
class ExportLink : public ExportNbr {
public:
    void lodExpSetup() override { vt::lodExpSetup(); }
    void extExcel() override { vt::extExcel(); }
    void expXlCommand(int16_t item) override { vt::expXlCommand(item); }
    bool expXlDump(int16_t item) override
    {
        if (item < 0 || item > 2)
            return false;
        expDumpHeld = true;
        expExcel(3, 1, int16_t(item + 1), int16_t(item + 1));
        return true;
    }
    void showExpSetup() override { frmExpSet::showDialog(); }
    void addXlShot() override { vt::addXlShot(); }
    void togXlLink(int16_t mode) override { vt::togXlLink(mode); }
    LinkTarget xlLinkTarget() override { return vt::xlLinkTarget(); }
};
} // namespace

void installExportSubsystem()
{
    static ExportLink link;
    installExport(&link);
    installExpReaders();
}

} // namespace vt
