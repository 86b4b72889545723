// The options dialog: the editor's font for the active CFile, the main
// window's bars and side bar, and the view mode, on four pages of a tab strip.
// It is loaded afresh at every opening, so it starts from the main window's
// present state; OK and Apply change the running program only and write no
// settings, but for "Show rUvuzu at Startup", the start-up note's own option,
// which is kept for the next start.
#pragma once

#include "platform/forms.h"

#include <QDialog>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QTabBar;

namespace vt {

class frmOptions : public QDialog, public SharedForm<frmOptions> {
    Q_OBJECT
public:
    frmOptions();
    ~frmOptions() override;

    QTabBar *tbrOptions = nullptr;
    QWidget *picGeneral = nullptr, *picEditor = nullptr, *picView = nullptr, *picFiles = nullptr;

    // General
    QComboBox *cmbDocState = nullptr;
    QCheckBox *chkBuffStart = nullptr, *chkShowRUvuzu = nullptr, *chkZOvuStart = nullptr;
    // Jotrix (the editor)
    QComboBox *cmbOFontName = nullptr, *cmbOFontSize = nullptr;
    QRadioButton *optNoWrap = nullptr, *optWordWrap = nullptr, *optWYSIWYG = nullptr;
    // View
    QCheckBox *chkStandard = nullptr, *chkFont = nullptr, *chkFormat = nullptr, *chkFile = nullptr,
              *chkEdit = nullptr, *chkWindow = nullptr;
    QCheckBox *chkStatusBar = nullptr, *chkFileTree = nullptr, *chkRuler = nullptr;
    // Files
    QCheckBox *chkAscText = nullptr, *chkAscLog = nullptr, *chkAscRich = nullptr, *chkAscBatch = nullptr,
              *chkAscINI = nullptr, *chkAssTar = nullptr;

    QPushButton *cmdOk = nullptr, *cmdCancel = nullptr, *cmdApply = nullptr;

    // 0 "No Wrap", 1 "Word Wrap", 2 "WYSIWYG"; -1 while no mode is chosen.
    int16_t ViewMode = -1;

    void Form_Load();
    void tbrOptions_Click();
    void optNoWrap_Click() { ViewMode = 0; }
    void optWordWrap_Click() { ViewMode = 1; }
    void optWYSIWYG_Click() { ViewMode = 2; }
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdApply_Click();

    // Opens the dialog modeless, without owner (Interface > General).
    static void showDialog();

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override; // Esc: Cancel

private:
    // The tab strip and the four pages it picks from, still empty.
    void buildTabs();
    // General: the start-up position, windows and note.
    void buildGeneralPage();
    // Jotrix: the editor's font and view mode.
    void buildEditorPage();
    // View: the bars of the main window.
    void buildViewPage();
    // Files: the file families offered for association, greyed.
    void buildFilesPage();
    // The pages stacked under the tab strip, then OK, Cancel and Apply.
    void arrange();

    void lodOptions();
    void aplOptions();
    // The view mode the dialog started with, so that Apply changes the
    // CFile's wrapping only when the user chose another one.
    int16_t loadedViewMode_ = -1;
};

} // namespace vt
