#include "editor/modEditorNbr.h"

#include "editor/frmDocument.h"
#include "editor/modDocCommands.h"
#include "editor/modDocument.h"
#include "editor/modMDIView.h"
#include "platform/errors.h"
#include "shell/frmMDI.h"
#include "shell/modStartNbrs.h"

namespace vt {

namespace {

ToolsNbr standInTools;
ToolsNbr *installedTools = nullptr;

class EditorLink : public EditorNbr {
public:
    void getMDISettings() override { vt::getMDISettings(); }
    void CreateNewCFile() override { vt::CreateNewCFile(); }
    void loadActiveCFile(const QString &path, bool richText) override
    {
        frmDocument *doc = ActiveForm();
        if (!doc)
            raise(91); // no CFile to load into
        loadCFile(doc, path, richText ? 0 : 1);
    }
    void wireCommands() override { wireDocumentCommands(frmMDI::instance()); }
    bool unloadCFiles(int unloadMode) override { return vt::unloadCFiles(unloadMode); }
    QStringList saveRecoveryCopies(const QString &folder) override { return vt::saveRecoveryCopies(folder); }
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
