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
    // The chronograph's keys: the remote panel's waiting keys (same names),
    // its Data/Stats/Menu keys cmdCroMode(0..2) and Esc. Each press runs the
    // panel's own handler, so the checks, bytes and messages are the same.
    QPushButton *cmdWaitKey[14] = {};
    QPushButton *cmdCroMode[3] = {};
    QPushButton *cmdKeyEsc = nullptr;

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
