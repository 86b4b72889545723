// The platform's standard message box, through the answering seam.
#pragma once

#include <QString>

namespace vt {

// Button sets, icons, default button and modality, as the platform numbers them.
enum MsgBoxStyle : int {
    vbOKOnly = 0, vbOKCancel = 1, vbAbortRetryIgnore = 2, vbYesNoCancel = 3, vbYesNo = 4, vbRetryCancel = 5,
    vbCritical = 16, vbQuestion = 32, vbExclamation = 48, vbInformation = 64,
    vbDefaultButton1 = 0, vbDefaultButton2 = 256, vbDefaultButton3 = 512,
    vbApplicationModal = 0, vbSystemModal = 4096, vbMsgBoxSetForeground = 0x10000,
};
// Results.
enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

// The application's title: the product name and the copy's number ("Vantrell0").
// The default title of every box and the settings tree of this copy.
inline QString AppTitle = QStringLiteral("Vantrell0");

// Shows the box (or takes its scripted answer) and returns the button chosen.
// An empty title shows AppTitle. "System-modal" is application-modal, on top
// and activated here.
int MsgBox(const QString &prompt, int style = vbOKOnly, const QString &title = {});

// Button name <-> result code ("Yes" <-> 6 ...).
QString buttonName(int result);
int buttonResult(const QString &name);

} // namespace vt
