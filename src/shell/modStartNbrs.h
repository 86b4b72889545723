// What start-up and shutdown use of the notes window, the CFile editor and the
// spreadsheet export, reached through small interfaces that each subsystem
// installs at start-up (tests install fakes). Until a subsystem installs its
// own, a stand-in answers: no window, procedures that do nothing. The slots
// that hold them live with the other interfaces in modNeighbours.cpp.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace vt {

class Form;

class NotesNbr {
public:
    virtual ~NotesNbr() = default;
    // The notes window (loaded on first use); nullptr while not installed.
    virtual Form *frmTip() { return nullptr; }
    virtual void lodTip() {}
    virtual void extTip(int cancel) { (void)cancel; }
    // Re-lays the notes window for the more-options switch SoftMore.
    virtual void soxMore() {}
    // A chronograph warning question; true means go ahead. Without the notes
    // subsystem nothing is asked.
    virtual bool askChronoWarn(const QString &text) { (void)text; return true; }
    // Shows the note a.b.c.d; addIfMissing adds a missing section, modal waits.
    virtual void seeXNots(int16_t a, int16_t b, int16_t c, int16_t d, int16_t addIfMissing, int16_t modal)
    {
        (void)a; (void)b; (void)c; (void)d; (void)addIfMissing; (void)modal;
    }
    // Numbered note n (with its sub-index) in the notes window.
    virtual void seeMsgNote(int16_t n, int16_t subIndex) { (void)n; (void)subIndex; }
    // Numbered question n; 6 Yes, 7 No, 2 Cancel, 0 closed. Without the notes
    // subsystem nothing is asked and the answer is Yes.
    virtual int16_t askMsgNote(int16_t n, int16_t subIndex) { (void)n; (void)subIndex; return 6; }
    // The notes menu: the notes window on the note shown last.
    virtual void seeNotes() {}
    // The notes window shown modeless (the Help menu's notes).
    virtual void showTipModeless() {}
    // The start-up option "Show iNotes on Startup" (key "ShowVipNotes" of
    // section "frmVipNotes", which start-up reads). Both the notes window's box
    // and the options dialog edit it; the window keeps its box in step, since
    // it writes the key from the box whenever it closes.
    virtual bool showVipNotes();
    virtual void setShowVipNotes(bool on);
    // At program exit: offers to save changed notes; false keeps the program.
    virtual bool qryExitNotes() { return true; }
    // On a signal: writes changed notes to a recovery copy in folder and
    // clears their changed flags; the path written, or empty.
    virtual QString saveRecoveryCopy(const QString &folder) { (void)folder; return {}; }
};
NotesNbr &nbrNotes();
void installNotes(NotesNbr *impl);

class EditorNbr {
public:
    virtual ~EditorNbr() = default;
    virtual void zapFgsMDI() {}
    virtual void setFgsMDI() {}
    virtual void updFgsMDI() {}
    virtual void updFmtButtons() {}
    virtual void getMDISettings() {}
    // Default document formats of section "frmMDI".
    virtual void getAllFmt() {}
    virtual void savAllFmt() {}
    virtual void CreateNewCFile() {}
    // The keyboard focus to the active CFile's text (the main window when
    // none is open), as a new, opened or activated CFile takes it.
    virtual void setActDocFocus() {}
    // Loads a file into the active CFile's text box (rich text or plain), sets
    // its caption to the path and clears its changed flag. Raises on failure.
    virtual void loadActiveCFile(const QString &path, bool richText) { (void)path; (void)richText; }
    // Connects the editor's commands to the main window; called once by its load.
    virtual void wireCommands() {}
    // Unloads every CFile before the main window goes, each asking its own
    // question; false when one stays open, which keeps the main window.
    virtual bool unloadCFiles(int unloadMode) { (void)unloadMode; return true; }
    // Writes each CFile with unsaved changes to a recovery copy in folder and
    // clears its changed flag, so that closing asks nothing; returns the paths
    // written.
    virtual QStringList saveRecoveryCopies(const QString &folder) { (void)folder; return {}; }
    // Which CFile takes Shoot mode's shots, and its marks; the refresh of the
    // indicators calls it with Shoot mode's state and whether an operation
    // holds the mode off for its exchange (busy).
    virtual void seeShotCFile(bool shoot, bool busy) { (void)shoot; (void)busy; }
};
EditorNbr &nbrEditor();
void installEditor(EditorNbr *impl);

class ExportNbr {
public:
    virtual ~ExportNbr() = default;
    // Reads the export options.
    virtual void lodExpSetup() {}
    // Closes the spreadsheet connection when there is one; ignores errors.
    virtual void extExcel() {}
    // One of the main window's five export commands: 0 string, 1 folder,
    // 2 eDisk, 3 capture log, 4 CFile.
    virtual void expXlCommand(int16_t item) { (void)item; }
    // Exports the dump just downloaded (croDump) of item 0 string, 1 folder or
    // 2 eDisk as expXlCommand would after its own download; the caller holds
    // the busy lock. False when no export is installed.
    virtual bool expXlDump(int16_t item) { (void)item; return false; }
    // Shows the export settings window modally.
    virtual void showExpSetup() {}
    // The live link: writes the queued shot line just taken into excLine
    // (serial/modRxEngine.h) to the Capture sheet.
    virtual void addXlShot() {}
    // The live link of the Capture sheet: 1 on, any other value off.
    virtual void togXlLink(int16_t mode) { (void)mode; }
    // Where the live link writes its next row: the workbook ("" while none is
    // open), the Capture sheet's name and the row; the column is always 1.
    struct LinkTarget {
        QString book;
        QString sheet;
        int32_t row = 0;
    };
    virtual LinkTarget xlLinkTarget() { return {}; }
};
ExportNbr &nbrExport();
void installExport(ExportNbr *impl);

} // namespace vt
