#include "tools/modEditorTools.h"

#include "editor/modEditorNbr.h"
#include "platform/printer.h"
#include "shell/modNeighbours.h"
#include "tools/frmDocInfo.h"
#include "tools/frmFind.h"
#include "tools/frmGoTo.h"
#include "tools/frmLogFonts.h"
#include "tools/frmPageMrgns.h"
#include "tools/frmPageTabs.h"
#include "tools/frmSymbols.h"
#include "tools/frmTextFont.h"
#include "tools/frmTimeDate.h"
#include "tools/frmXBoxPrn.h"
#include "tools/modFormats.h"
#include "tools/modPrint.h"

#include <QFont>
#include <QListWidget>

namespace vt {

namespace {

// Shows a tool window modeless over the main window, bringing it forward when
// it is already open.
template <class T>
void showOwned()
{
    T *w = T::get();
    w->show();
    w->raise();
    w->activateWindow();
}

class EditorTools : public ToolsNbr {
public:
    void showGoTo() override { showOwned<frmGoTo>(); }

    // Find and replace.
    bool findVisible() override { return frmFind::isLoaded() && frmFind::instance()->isVisible(); }
    void lodFind() override { frmFind::get()->lodFind(); }
    void mdiFindNext() override { frmFind::get()->mdiFindNext(); }
    void mdiFindReplace() override { frmFind::get()->mdiFindReplace(); }
    void showFind() override { showOwned<frmFind>(); }
    void badFocus() override
    {
        if (frmFind::isLoaded())
            frmFind::instance()->badFocus();
    }
    void savFindRec() override { frmFind::savRec(1); }
    void showLogFonts() override { showOwned<frmLogFonts>(); }
    void showTimeDate() override { showOwned<frmTimeDate>(); }
    void showSymbols() override { showOwned<frmSymbols>(); }
    void showDocInfo() override { showOwned<frmDocInfo>(); }
    // Loads the character table, unseen, when it is not loaded: it then
    // shows in that font when it is next opened.
    void setSymbolsFont(const QString &name) override
    {
        frmSymbols *f = frmSymbols::get();
        QFont font = f->lstSymbols->font();
        font.setFamily(name);
        f->lstSymbols->setFont(font);
    }

    // The default document formats and the format dialogs.
    int16_t FormatSetDefalt() override { return FontFmtDef.FormatSetDefalt; }
    int16_t MargDefalt() override { return MargFmtDef.MargDefalt; }
    int16_t TabDefalt() override { return TabFmtDef.TabDefalt; }
    uint32_t FontBackColor() override { return uint32_t(FontFmtDef.FontBackColor); }
    void setDocFrmt() override { vt::setDocFrmt(); }
    void setDocMarg() override { vt::setDocMarg(); }
    void setDocTabs() override { vt::setDocTabs(); }
    void saxDocFmt() override { vt::saxDocFmt(); }
    void getGenFonts() override { vt::getGenFonts(); }
    void showTextFont() override { frmTextFont::showDialog(); }
    void showPageMrgns() override { frmPageMrgns::showDialog(); }
    void showPageTabs() override { frmPageTabs::showDialog(); }

    // Page setup, print preview and printing.
    void getPrnMargins() override { vt::getPrnMargins(); }
    void showPrintPreview() override { frmXBoxPrn::showDialog(); }
    void PrintRTF(RichTextBox *box, int32_t left, int32_t top, int32_t right, int32_t bottom) override
    {
        vt::PrintRTF(box, left, top, right, bottom);
    }
    void printerDialogOpens() override { preparePrinter(Printer()); }
    void printerChosen() override { vt::printerChosen(Printer()); }
};

} // namespace

void installEditorTools()
{
    static EditorTools tools;
    installTools(&tools);
}

} // namespace vt
