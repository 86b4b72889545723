// The small progress window of the spreadsheet export: a heading line and a
// detail line that the export changes as it goes, the share done, and Abort.
// While it is loaded the pointer is the hourglass.
#pragma once

#include "platform/forms.h"

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace vt {

class frmFPrgrs : public QWidget, public SharedForm<frmFPrgrs> {
    Q_OBJECT
public:
    frmFPrgrs();
    ~frmFPrgrs() override;

    QGroupBox *fraPrgrs = nullptr;
    QLabel *labPrgrs = nullptr;     // heading line
    QLabel *labWhat = nullptr;      // detail line
    QProgressBar *prgRemCtr = nullptr;
    QLabel *labPrgrsVal = nullptr;
    QCheckBox *chkOut = nullptr;
    QPushButton *cmdSetPrgTab = nullptr; // "Abort"

    // Set by Abort; the export looks at it whenever the windows had a turn.
    bool abortAsked = false;

    void Form_Load();
    void Form_Unload(int &cancel) override;
    void chkOut_Click();
    void cmdSetPrgTab_Click();
    // Shows the share done, 0 to 100: the bar rounded half to even, the
    // label as "##0.0" and "%".
    void showPercent(double percent);

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    bool pointerSet_ = false;
};

} // namespace vt
