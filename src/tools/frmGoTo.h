// Go to line: moves the caret of the active CFile to the start of a numbered
// line, to the start of the text or to its end.
#pragma once

#include "platform/forms.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vt {

class frmGoTo : public QDialog, public SharedForm<frmGoTo> {
    Q_OBJECT
public:
    frmGoTo();
    ~frmGoTo() override;

    QGroupBox *Frame1 = nullptr;
    QRadioButton *GotoLine = nullptr;
    QRadioButton *GotoStart = nullptr;
    QRadioButton *GoToEnd = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *txtGo = nullptr;
    QPushButton *cmdGo = nullptr;
    QPushButton *cmdClose = nullptr;

    void Form_Load();
    void GotoLine_Click();
    void GotoStart_Click();
    void GoToEnd_Click();
    void txtGo_Change();
    void cmdGo_Click();
    void cmdClose_Click();

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override; // Esc: the Close button
};

} // namespace vt
