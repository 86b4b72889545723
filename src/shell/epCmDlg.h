// The program's common-dialog control: callers set its properties, call one
// of the Show operations and read the result back from the properties or from
// the two result lists. Properties keep their values from call to call, so a
// setting one caller makes stays in force for the next.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>

namespace vt {

class epCmDlg {
public:
    int32_t Flags = 0; // page setup and printer dialog flags
    bool CancelError = false;
    bool MultiSelect = false;
    QString DefaultFilename;
    QString DialogTitle;
    QString InitialDir;
    QString Filter; // "CFile (*.rtf)|*.rtf|Text (*.txt)|*.txt|"
    int16_t FilterIndex = 1;
    QString FontName = QStringLiteral("Arial");
    int16_t FontSize = 10;
    int32_t FontColor = 0; // 0x00BBGGRR
    bool FontBold = false;
    bool FontItalic = false;
    bool FontUnderline = false;
    bool FontStrikeThru = false;
    // Thousandths of an inch, whatever unit the page-setup dialog shows.
    int32_t MarginLeft = 1000;
    int32_t MarginRight = 1000;
    int32_t MarginTop = 1000;
    int32_t MarginBottom = 1000;

    // Full paths and bare names of the files chosen in the last confirmed open
    // or save dialog, in the same order.
    QStringList cFileName;
    QStringList cFileTitle;

    void ShowOpen();
    void ShowSave();
    void ShowFont();
    // The chosen colour number; empty when cancelled without CancelError.
    QVariant ShowColor();
    void ShowPageSetup();
    void ShowPrinter();

private:
    void fileDialog(bool save);
    void getMultiFiles(const QStringList &paths);
    void cancelled(); // raises 32755 when CancelError is set
};

// The main window's one instance, which every dialog of the program uses.
inline epCmDlg cmDlg;

} // namespace vt
