// The About window: the program's name and version, and a way to write to
// technical support.
#pragma once

#include "platform/forms.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace vt {

// Where the Technical Support button writes to.
inline const QString SupportAddress = QStringLiteral("support@vantrell.example");

class frmAbout : public QDialog, public SharedForm<frmAbout> {
    Q_OBJECT
public:
    frmAbout();
    ~frmAbout() override;

    QLabel *Picture1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QPushButton *cmdSupport = nullptr;
    QPushButton *cmdOK = nullptr;

    void Form_Load();
    void cmdSupport_Click();
    void cmdOK_Click();

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override; // Esc: the Close button
};

} // namespace vt
