// The remote-control panel zOvu. Its keys, panes and command list come with the remote-control subsystem.
#pragma once

#include "shell/supportWindow.h"

#include <QWidget>

class QPushButton;
class QRadioButton;

namespace vt {

class frmRemCtr : public QWidget, public SupportWindow<frmRemCtr> {
    Q_OBJECT
public:
    frmRemCtr();
    ~frmRemCtr() override;

    // Load procedure, called once by the start-up sequence after the window loaded.
    void lodRemCtr();
    // Exit procedure, called once by the shutdown with a copy of its cancel flag.
    void extRemCtr(int cancel);

    // --- export pane ----------------------------------------------------------
    // The source of "Export to Excel": 0 string, 1 folder, 2 eDisk, 3 capture
    // log, 4 CFile, as the main window's five export commands.
    QRadioButton *optExpSrc[5] = {};
    QPushButton *cmdExp2Excel = nullptr;
    void optExpSrc_Click(int index);
    void cmdExp2Excel_Click();

protected:
    void closeEvent(QCloseEvent *e) override;
};

} // namespace vt
