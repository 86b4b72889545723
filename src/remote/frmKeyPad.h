// The keypad panel: a small window showing the chronograph's display as the
// received lines give it, closed by its own key.
#pragma once

#include "shell/supportWindow.h"

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace vt {

class frmKeyPad : public QWidget, public SupportWindow<frmKeyPad> {
    Q_OBJECT
public:
    frmKeyPad();
    void Form_QueryUnload(int &cancel, int unloadMode) override;

    // How many of the last received lines the display shows.
    static constexpr int kLcdLines = 4;
    QPlainTextEdit *txtKeyPadLcd = nullptr;
    QPushButton *cmdKeyPadClose = nullptr;

    // Shows the panel (keyPadOn) with its display up to date.
    void showKeyPad();
    // The close key: hides the panel and gives the main window back.
    void cmdKeyPadClose_Click();
    // The last received lines, from the terminal's text.
    void seeKeyPadLcd();

protected:
    void closeEvent(QCloseEvent *e) override;
};

// The last `lines` lines of a received text (CR LF or LF line ends), as the
// display shows them.
QString keyPadLcdText(const QString &received, int lines);

} // namespace vt
