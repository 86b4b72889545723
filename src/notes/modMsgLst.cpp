#include "notes/modMsgLst.h"

#include "notes/frmTip.h"
#include "platform/msgbox.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"

namespace vt {

namespace {

// The notes window, loaded when it is not yet, with the arrow pointer: a busy
// pointer left by the caller must not stay on it.
frmTip *tipWindow()
{
    frmTip *tip = frmTip::get();
    tip->setCursor(Qt::ArrowCursor);
    return tip;
}

struct NoteRow {
    int n;
    int sub; // -1: any sub-index
    int a, b, c; // b < 0: the device index
    bool modal;
};

// Which note each number opens.
constexpr NoteRow kNotes[] = {
    {0, 0, 60, -1, 0, true},  {0, 1, 64, 0, 0, true},   {1, -1, 90, 0, 0, true},  {2, -1, 60, 0, 1, true},
    {3, 0, 60, -1, 0, false}, {3, 1, 60, -1, 1, false}, {4, 0, 52, 0, 2, true},   {4, 1, 52, 0, 2, true},
    {5, 0, 52, 0, 0, true},   {5, 1, 52, 1, 0, true},   {6, -1, 64, 0, 0, true},  {7, 0, 72, 1, 1, true},
    {7, 1, 50, 1, 1, true},   {8, 0, 50, 2, 0, true},   {8, 1, 50, 2, 1, true},   {10, -1, 72, 0, 0, true},
    {11, -1, 52, 3, 0, true},
};

struct AskRow {
    int n;
    int sub; // -1: any sub-index
    const char *prompt;
    int a, b, c;
};

// Which note and prompt each question shows.
constexpr AskRow kQuestions[] = {
    {0, -1, "", 64, 0, 0},
    {1, -1, "Start Multi-Session Data Capture?", 90, 1, 0},
    {4, -1, "Do you want to open your own Workbook?", 52, 0, 1},
    {5, -1, "Calibrate Chronograph Now?", 65, 0, 0},
    {6, -1, "Start New Statistics Block?", 72, 2, 0},
    {10, 0, "Do you want to proceed with Clear eDisk?", 11, 8, 0},
    {10, 1, "Do you want to restore eDisk?", 11, 8, 1},
    {10, 2, "Do you want to restore eDisk?", 11, 8, 2},
    {11, 0, "Do you want rename this WorkBook?", 53, 0, 0},
};

} // namespace

void seeMsgNote(int n, int16_t subIndex)
{
    frmTip *tip = tipWindow();
    for (const NoteRow &row : kNotes) {
        if (row.n != n || (row.sub >= 0 && row.sub != subIndex))
            continue;
        const int b = row.b < 0 ? Device : row.b;
        tip->seeXNots(row.a, b, row.c, 0, 1, row.modal ? 1 : 0);
        return;
    }
}

int16_t askMsgNote(int n, int16_t subIndex)
{
    frmTip *tip = tipWindow();
    for (const AskRow &row : kQuestions) {
        if (row.n != n || (row.sub >= 0 && row.sub != subIndex))
            continue;
        return tip->seeYNots(QString::fromLatin1(row.prompt), row.a, row.b, row.c, 1);
    }
    return 0;
}

bool askChronoWarn(const QString &text)
{
    if (!ShowWarnKT)
        return true;
    const QString prompt = QStringLiteral("For more information click on [Cancel]  \r\n\r\n") + text + QStringLiteral(" ?");
    switch (MsgBox(prompt, vbYesNoCancel | vbDefaultButton1 | vbApplicationModal)) {
    case vbYes:
        return true;
    case vbCancel:
        stpChronoWarn();
        return false;
    default:
        return false;
    }
}

void stpChronoWarn()
{
    const QString text = QStringLiteral("To stop this message, go to main menu <View>/<rUvuzu>/[Option]  \r\n"
                                        "and clear  [Chrono Warnings]  checkmark, or click on [Yes] below.\r\n"
                                        "By clicking on  [Yes]  below, this check murck is cleared for you. \r\n"
                                        "It can always be restored by setting it on again.\r\n"
                                        "\r\n"
                                        "Do you want to stop these messages?");
    if (MsgBox(text, vbYesNo | vbDefaultButton2 | vbSystemModal | vbMsgBoxSetForeground) == vbYes)
        ShowWarnKT = false;
}

} // namespace vt
