// The export settings window. Its workbook choices and settings come with the export subsystem.
#pragma once

#include "platform/forms.h"

#include <QWidget>

namespace vt {

class frmExpSet : public QWidget, public SharedForm<frmExpSet> {
    Q_OBJECT
public:
    frmExpSet();
    ~frmExpSet() override;

    void Form_Load();
    void Form_QueryUnload(int &cancel, int unloadMode) override;
    void Form_Unload(int &cancel) override;


protected:
    void closeEvent(QCloseEvent *e) override;
};

} // namespace vt
