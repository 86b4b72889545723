// The character table ("ASCII Table"): codes 0 to 255 with their hexadecimal
// form and, for control characters, their key and name; the chosen code's
// character is inserted at the caret of the active CFile.
#pragma once

#include "platform/forms.h"

#include <QDialog>

class QGroupBox;
class QListWidget;
class QPushButton;

namespace vt {

// The list line of a code 0 to 255.
QString symbolLine(int code);

class frmSymbols : public QDialog, public SharedForm<frmSymbols> {
    Q_OBJECT
public:
    frmSymbols();
    ~frmSymbols() override;

    QGroupBox *Frame1 = nullptr;
    QListWidget *lstSymbols = nullptr;
    QPushButton *cmdInsert = nullptr;
    QPushButton *cmdClose = nullptr;

    void Form_Load();
    void lstSymbols_DblClick();
    void cmdInsert_Click();
    void cmdClose_Click();

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override; // Esc: the Close button
};

} // namespace vt
