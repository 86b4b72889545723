// The export settings window. Its workbook choices and settings come with the export subsystem.
#pragma once

#include "shell/supportWindow.h"

#include <QWidget>

namespace vt {

class frmExpSet : public QWidget, public SupportWindow<frmExpSet> {
    Q_OBJECT
public:
    frmExpSet();
    ~frmExpSet() override;

protected:
    void closeEvent(QCloseEvent *e) override;
};

} // namespace vt
