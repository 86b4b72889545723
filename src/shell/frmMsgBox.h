// The program's own question box: a text with Yes, No and Cancel, or OK alone.
// The answer goes to frmMDI's flags bYes, bNo and bCancel.
#pragma once

#include "platform/forms.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace vt {

class frmMsgBox : public QDialog, public SharedForm<frmMsgBox> {
    Q_OBJECT
public:
    frmMsgBox();
    ~frmMsgBox() override;

    QLabel *lblMsg = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdYes = nullptr;
    QPushButton *cmdNo = nullptr;
    QPushButton *cmdCancel = nullptr;

    void Form_Load();
    void Form_Unload(int &cancel) override;
    void cmdYes_Click();
    void cmdNo_Click();
    void cmdCancel_Click();
    void cmdOk_Click();

    // Shows the question modally (or takes its scripted answer); returns when
    // the box has unloaded.
    void ask(const QString &message, const QString &title, bool okOnly);

protected:
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void reject() override {} // Esc does nothing
};

} // namespace vt
