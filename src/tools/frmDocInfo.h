// Document information of the active CFile ("CFile Statistics"): the icon of
// its file type, its name, folder, size, dates and attributes, and the words,
// lines and characters of its text.
#pragma once

#include "platform/forms.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace vt {

class frmDocInfo : public QDialog, public SharedForm<frmDocInfo> {
    Q_OBJECT
public:
    frmDocInfo();
    ~frmDocInfo() override;

    QLabel *Picture1 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QLabel *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;
    QLabel *lblDate[3] = {};
    QGroupBox *Frame2 = nullptr;
    QCheckBox *chkAttrib[5] = {}; // 1 Hidden, 2 System, 3 Read Only, 4 Archive
    QGroupBox *Frame3 = nullptr;
    QLabel *Label5 = nullptr, *lblLocation = nullptr, *Label6 = nullptr, *lblSize = nullptr;
    QGroupBox *Frame4 = nullptr;
    QLabel *Label7 = nullptr, *lblWordCount = nullptr, *Label8 = nullptr, *lblNLines = nullptr;
    QLabel *Label9 = nullptr, *lblChr = nullptr;
    QLabel *Label1 = nullptr, *lblName = nullptr;
    QPushButton *cmdClose = nullptr;

    // The path of the CFile whose icon is shown, as its window's caption gave it.
    QString iconPath;
    // The theme name of the icon of that file's type.
    QString iconName;

    void Form_Load();
    void Picture1_Paint();
    void chkAttrib_GotFocus(int index);
    void cmdClose_Click();

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override; // Esc: the Close button
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildDatesFrame();      // Created, Modified, Accessed, each beside its date
    void buildAttributesFrame(); // the file's attributes, shown but not changed here
};

} // namespace vt
