// The small progress window of the spreadsheet export: a heading line and a
// detail line that the export changes as it goes. While it is loaded the
// pointer is the hourglass.
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
    QPushButton *cmdSetPrgTab = nullptr; // "Abort": no action

    void Form_Load();
    void Form_Unload(int &cancel) override;
    void chkOut_Click();

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    bool pointerSet_ = false;
};

} // namespace vt
