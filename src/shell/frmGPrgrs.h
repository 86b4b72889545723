// The general progress window of long chronograph operations: the task's
// title, the share done and Abort. It floats above the other windows and
// exists only while it is shown.
#pragma once

#include "platform/forms.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace vt {

class frmGPrgrs : public QWidget, public SharedForm<frmGPrgrs> {
    Q_OBJECT
public:
    frmGPrgrs();
    ~frmGPrgrs() override;

    QGroupBox *fraPrgrs = nullptr;
    QLabel *labPrgrs = nullptr; // the task's title
    QProgressBar *prgRemCtr = nullptr;
    QLabel *labPrgrsVal = nullptr;
    QPushButton *cmdSetPrgTab[1] = {}; // "Abort"

    void Form_Load();
    void cmdSetPrgTab_Click(int index);

protected:
    void closeEvent(QCloseEvent *e) override;
};

} // namespace vt
