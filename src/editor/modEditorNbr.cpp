#include "editor/modEditorNbr.h"

#include "editor/frmDocument.h"
#include "editor/modCapFmt.h"
#include "editor/modDocCommands.h"
#include "editor/modDocument.h"
#include "editor/modEditCommands.h"
#include "editor/modEditState.h"
#include "editor/modFileBar.h"
#include "editor/modMDIView.h"
#include "editor/modToolbars.h"
#include "platform/errors.h"
#include "shell/frmMDI.h"
#include "shell/modDocFmt.h"
#include "shell/modStartNbrs.h"

namespace vt {

namespace {

ToolsNbr standInTools;
ToolsNbr *installedTools = nullptr;

class EditorLink : public EditorNbr {
public:
    void getMDISettings() override { vt::getMDISettings(); }
    void getAllFmt() override { vt::getAllFmt(); }
    void savAllFmt() override
    {
        vt::savAllFmt([] { nbrTools().savFindRec(); });
    }
    void CreateNewCFile() override { vt::CreateNewCFile(); }
    void setActDocFocus() override { vt::setActDocFocus(); }
    void loadActiveCFile(const QString &path, bool richText) override
    {
        frmDocument *doc = ActiveForm();
        if (!doc)
            raise(91); // no CFile to load into
        loadCFile(doc, path, richText ? 0 : 1);
    }
    void zapFgsMDI() override { vt::zapFgsMDI(); }
    void setFgsMDI() override { vt::setFgsMDI(); }
    void updFgsMDI() override { vt::updFgsMDI(); }
    void updFmtButtons() override { vt::updFmtButtons(); }
    void wireCommands() override
    {
        wireDocumentCommands(frmMDI::instance());
        wireEditCommands(frmMDI::instance());
        wireToolbars(frmMDI::instance());
        wireFileBar(frmMDI::instance());
    }
    bool unloadCFiles(int unloadMode) override { return vt::unloadCFiles(unloadMode); }
    QStringList saveRecoveryCopies(const QString &folder) override { return vt::saveRecoveryCopies(folder); }
    void seeShotCFile(bool shoot, bool busy) override { vt::seeShotCFile(shoot, busy); }
};

} // namespace

ToolsNbr &nbrTools() { return installedTools ? *installedTools : standInTools; }
void installTools(ToolsNbr *impl) { installedTools = impl; }

void installEditorSubsystem()
{
    static EditorLink link;
    installEditor(&link);
}

} // namespace vt
