// "Page Margins Setup": the default paragraph margins of new CFiles, shown and
// typed in the unit chosen in its list, stored in twips, and applied to the
// whole active CFile.
#pragma once

#include "platform/forms.h"
#include "shell/modNeighbours.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace vt {

class frmPageMrgns : public QWidget, public SharedForm<frmPageMrgns> {
    Q_OBJECT
public:
    frmPageMrgns();
    ~frmPageMrgns() override;
    void Form_Load();
    void Form_QueryUnload(int &cancel, int unloadMode) override;

    // Shows the dialog modally (Format > Margins).
    static void showDialog();

    // --- controls ---------------------------------------------------------
    QGroupBox *Frame1 = nullptr;
    QLineEdit *txtLeft = nullptr;
    QLineEdit *txtRight = nullptr;
    QLineEdit *txtIdent = nullptr;
    QToolButton *cmdPosMov[6] = {}; // pairs per field: even up, odd down
    QComboBox *cmbUnits = nullptr;
    QCheckBox *chkDefaltOn = nullptr;
    QCheckBox *chkAsk = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdApply = nullptr;
    QPushButton *cmdReset = nullptr;
    QPushButton *cmdAtCurs = nullptr;
    QPushButton *cmdRead = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdClose = nullptr;

    // The working record, the saved copy and the indents the CFile holds.
    MargFmt rec;
    MargFmt recOrig;
    MargFmt recApplied;

    // --- event handlers -----------------------------------------------------
    void cmdSave_Click();
    void cmdApply_Click();
    void cmdReset_Click();
    void cmdAtCurs_Click();
    void cmdRead_Click();
    void cmdCancel_Click();
    void cmdClose_Click();
    void cmdPosMov_Click(int index);
    void cmbUnits_Click();

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void showRec();
    // Reads and checks the three fields into the working record; false (after
    // the report) when one is not a number or out of range.
    bool readFields();
    void applyToCFile();
    void readCFile(MargFmt &into, bool applied);
    QLineEdit *field(int n) const;
    int16_t unitIndex() const;

    bool noCFile_ = false;
    bool changed_ = false;
    int16_t shownUnit_ = 1; // the unit the fields show now
};

} // namespace vt
