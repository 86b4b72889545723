// "Export Data Setup": the export options (which header rows, identifier and
// formula columns a workbook shows, and whether they come from this table or
// from the workbook's iSetup sheet), kept in settings section "frmExpSet";
// the refresh of one sheet type of the open workbook with them; and the
// workbook commands New, Open and Close.
#pragma once

#include "platform/forms.h"

#include <QWidget>
#include <cstdint>

class QCheckBox;
class QFrame;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vt {

// The export options that live with this window; the view options are
// fields of XlSes.
inline int16_t ExpDestin = 2;     // 0 text file, 1 word document, 2 spreadsheet
inline bool ExpShowINots = true;  // show rUvuzu help

class frmExpSet : public QWidget, public SharedForm<frmExpSet> {
    Q_OBJECT
public:
    frmExpSet();
    ~frmExpSet() override;
    void Form_Load();
    void Form_QueryUnload(int &cancel, int unloadMode) override;
    void Form_Unload(int &cancel) override;

    // Reads the fifteen options of section "frmExpSet", each with its default.
    static void getSetux();
    // Loaded by start-up: reads the options.
    static void lodExpSetup();
    // Shows the window modally (the Excel menu's Setup, Chrono > Setups).
    static void showDialog();

    // --- controls ---------------------------------------------------------
    QFrame *fraMaster = nullptr;
    QGroupBox *fraDestin = nullptr;
    QRadioButton *optDestin[3] = {};
    QGroupBox *fraXlSheets = nullptr;
    QGroupBox *fraExcSetup = nullptr;
    QRadioButton *optExcSetup[2] = {};
    QFrame *fraExpSetup = nullptr;
    QGroupBox *fraNames = nullptr, *fraUnits = nullptr, *fraStats = nullptr, *fraAttPos = nullptr;
    QCheckBox *chkExcNames[2] = {};
    QCheckBox *chkExcUnits[3] = {};
    QCheckBox *chkExcStats[3] = {};
    QCheckBox *chkAttPos[2] = {};
    QGroupBox *fraRfrsh = nullptr;
    QPushButton *cmdRfrsh[6] = {};    // 1 to 5: the sheet type; 0 unused
    QGroupBox *fraBook = nullptr;
    QPushButton *cmdBukKey[3] = {};
    QCheckBox *chkShowINots = nullptr;
    QCheckBox *chkShowJotrix = nullptr;
    QCheckBox *chkExcCapture[1] = {};
    QPushButton *cmdExpSetKey[3] = {};
    QPushButton *cmdExpSetClose = nullptr;
    QPushButton *cmdHelp = nullptr;
    QFrame *fraPrgrs[1] = {};
    QLabel *labPrgrs = nullptr;

    // --- event handlers -----------------------------------------------------
    void optDestin_Click(int index);
    void optExcSetup_Click(int index);
    void chkExcNames_Click(int index);
    void chkExcUnits_Click(int index);
    void chkExcStats_Click(int index);
    void chkAttPos_Click(int index);
    void chkShowINots_Click();
    void chkShowJotrix_Click();
    void chkExcCapture_Click(int index);
    void cmdExpSetKey_Click(int index);
    void cmdExpSetClose_Click();
    void cmdHelp_Click();
    void cmdRfrsh_Click(int index);
    void cmdBukKey_Click(int index);

    bool dirty() const { return expSetDirty; }

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    // The window's parts, top to bottom.
    QGroupBox *buildDestinFrame();   // the destination choice, with its tip that every export writes a workbook
    QGroupBox *buildSheetsFrame();   // where the setup comes from, the columns, and the sheet refresh buttons
    QFrame *buildColumnsFrame();     // the name, unit, formula and identifier boxes, two frames a row
    QHBoxLayout *buildBookRow();     // the workbook commands, and the help, Jotrix and link boxes beside them
    QFrame *buildProgressFrame();    // the progress line, hidden until a command runs
    QHBoxLayout *buildKeyRow();      // Save, Default, Restore, then Help and Exit

    void shwExpSetup();
    void getExpCtls();
    void rstExpSetup();
    void savSetux();
    void askSavSetup(bool &answer);
    void showDirty();
    void progress(bool on);

    bool expSetDirty = false;
};

} // namespace vt
