// Date and time insertion: the date and time of the moment in thirteen
// standard formats or in one the user types, inserted at the caret of the
// active CFile, with a single insertion that can be undone.
#pragma once

#include "platform/forms.h"

#include <QDateTime>
#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vt {

// The thirteen standard lines for a moment, in list order.
QStringList standardDateLines(const QDateTime &when);

class frmTimeDate : public QDialog, public SharedForm<frmTimeDate> {
    Q_OBJECT
public:
    frmTimeDate();
    ~frmTimeDate() override;

    QGroupBox *fraStdFormat = nullptr;
    QListWidget *lstDates = nullptr;
    QPushButton *cmdInsert = nullptr;
    QGroupBox *fraCusFormat = nullptr;
    QLineEdit *txtCustom = nullptr;
    QLabel *lblSample = nullptr;
    QPushButton *cmdInsCusFor = nullptr;
    QPushButton *cmdUndo = nullptr;
    QPushButton *cmdUndoAll = nullptr;
    QPushButton *cmdClose = nullptr;

    bool InsertDone = false;
    int16_t InsertCount = 0;

    void Form_Load();
    void cmdInsert_Click();
    void lstDates_DblClick();
    void cmdInsCusFor_Click();
    void cmdUndo_Click();
    void txtCustom_KeyPress();
    void txtCustom_MouseDown();
    void cmdClose_Click();

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override; // Esc: the Close button
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool insertText(const QString &text);
    void countInsert();
    void showSample();
};

} // namespace vt
