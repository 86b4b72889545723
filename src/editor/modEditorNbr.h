// The CFile editor's links: what it uses of the editor tools above it (the
// default document formats, the dialogs that the main window opens, printing),
// reached through an interface that the tools install at start-up, and the
// editor's own installation into the shell's start-up and shutdown.
#pragma once

#include <QString>
#include <cstdint>

namespace vt {

class RichTextBox;

class ToolsNbr {
public:
    virtual ~ToolsNbr() = default;
    // Flags of the default format records: 1 = apply to every new CFile.
    virtual int16_t FormatSetDefalt() { return 0; }
    virtual int16_t MargDefalt() { return 0; }
    virtual int16_t TabDefalt() { return 0; }
    // The default background colour (colour number, blue byte high).
    virtual uint32_t FontBackColor() { return 0xFFFFFFu; }
    // Apply the default font, margins and tab stops to the active CFile.
    virtual void setDocFrmt() {}
    virtual void setDocMarg() {}
    virtual void setDocTabs() {}
    // Copies the active CFile's selection format into the default font record.
    virtual void saxDocFmt() {}
    // The find dialog's remembered position is no longer valid.
    virtual void badFocus() {}
    // At exit: the find dialog saves its search histories and position (when
    // it was opened in this run).
    virtual void savFindRec() {}

    // The dialogs and commands the main window opens. The program always
    // installs the tools; the stand-in, which only the editor's own tests
    // meet, opens nothing.
    // The find and replace dialog: whether it is shown, its three entries
    // (find with the selection, find next, replace with the selection) and
    // showing it owned by the main window.
    virtual bool findVisible() { return false; }
    virtual void lodFind() {}
    virtual void mdiFindNext() {}
    virtual void mdiFindReplace() {}
    virtual void showFind() {}
    // Go to line, shown owned by the main window.
    virtual void showGoTo() {}
    // The font dialog applied to the selection of the active CFile.
    virtual void getGenFonts() {}
    // The modal default-font, paragraph-margin and tab-stop dialogs.
    virtual void showTextFont() {}
    virtual void showPageMrgns() {}
    virtual void showPageTabs() {}
    // The log-fonts window, shown owned by the main window.
    virtual void showLogFonts() {}
    // The date and time dialog, the character table and the document
    // information of the active CFile, shown owned by the main window.
    virtual void showTimeDate() {}
    virtual void showSymbols() {}
    virtual void showDocInfo() {}
    // Printing: the page-setup dialog for the print margins, the modal print
    // preview, and printing a box's whole text with margins in thousandths of
    // an inch.
    virtual void getPrnMargins() {}
    virtual void showPrintPreview() {}
    virtual void PrintRTF(RichTextBox *box, int32_t left, int32_t top, int32_t right, int32_t bottom)
    {
        (void)box, (void)left, (void)top, (void)right, (void)bottom;
    }
    // Around the printer dialog: before it, a printer that writes a PDF file
    // is pointed at the file prints go to, so the dialog shows it; after a
    // confirmed dialog, the file chosen there is kept and named.
    virtual void printerDialogOpens() {}
    virtual void printerChosen() {}
    // The font of the character table's list (the options dialog's font);
    // nothing without the tools.
    virtual void setSymbolsFont(const QString &name) { (void)name; }
};

ToolsNbr &nbrTools();
// Installs the editor tools (the caller keeps ownership); nullptr puts the
// stand-in back, which applies nothing.
void installTools(ToolsNbr *impl);

// Hands the CFile editor to the shell: the first CFile of start-up, the file
// named on the command line, the view settings, the File menu and the close
// of every CFile before the main window goes.
void installEditorSubsystem();

} // namespace vt
