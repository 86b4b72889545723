// The program's side of a workbook shared with the user: the view options a
// workbook may carry on its "iSetup" sheet, and saving and closing the
// program's workbook on request.
#include "export/modExpExc.h"

#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "shell/frmMDI.h"
#include "shell/modShared.h"

#include <algorithm>

namespace vt {

using namespace vt::xl;

namespace {

// The cell value rule: "YES" anywhere sets the option, "NO" anywhere (tested
// second) clears it, a cell with neither leaves it alone.
void applyYesNo(const Variant &v, bool &option)
{
    const QString t = v.toString().toUpper().trimmed();
    if (t.contains(QLatin1String("YES")))
        option = true;
    if (t.contains(QLatin1String("NO")))
        option = false;
}

void setMainState(Qt::WindowStates state)
{
    if (frmMDI *mdi = frmMDI::instance())
        mdi->setWindowState(state);
}

} // namespace

bool syncISetup(int16_t &sheetType)
{
    // Row numbers (from columns R, S, T) and column numbers (N, O, P) of the
    // option blocks, by sheet type; the third of each is read but not used.
    int16_t rows[5][3] = {}, cols[5][3] = {};
    SheetPtr ws;
    // A failure while reading the index table stays pending and ends the
    // synchronisation at the first option cell.
    Err.Clear();
    ResumeNext on;
    on([&] { ws = spreadsheetApp()->Workbooks(1)->Worksheets(QStringLiteral("iSetup")); });
    // Without the sheet every read fails as a call on nothing would.
    const auto sheet = [&]() -> Worksheet & {
        if (!ws)
            raise(91);
        return *ws;
    };
    for (int g = 1; g <= 5; ++g) {
        for (int i = 0; i < 3; ++i) {
            on([&] { rows[g - 1][i] = CInt(sheet().Cells(g + 1, 18 + i)->Value().toDouble()); });
            on([&] { cols[g - 1][i] = CInt(sheet().Cells(g + 1, 14 + i)->Value().toDouble()); });
        }
    }
    if (sheetType < 1 || sheetType > 5)
        on([] { raise(9); });

    const int t = std::clamp<int>(sheetType, 1, 5) - 1;
    const int r1 = rows[t][0], r2 = rows[t][1], c1 = cols[t][0], c2 = cols[t][1];
    XlSession &x = XlSes;
    for (int k = 0; k < 3; ++k) {
        const struct { int row, col; bool &option; } cells[4] = {
            {r1, c1 + k, x.ExpExcUHed[k]},
            {r2, c1 + k, x.ExpExcNHed[k]},
            {r1, c2 + k, x.ExpExcFSts[k]},
            {r2, c2 + k, x.ExpExcIPos[k]},
        };
        for (const auto &cell : cells) {
            Variant v;
            on([&] { v = sheet().Cells(cell.row, cell.col)->Value(); });
            if (Err.Number != 0)
                return false;
            applyYesNo(v, cell.option);
        }
    }
    return true;
}

void clsXlBook()
{
    xlClosing = true;
    setMainState(Qt::WindowMinimized);
    ResumeNext on;
    AppPtr app;
    on([&] { app = spreadsheetApp(); });
    on([&] { app->setVisible(false); });

    bool closeIt = true;
    bool saved = true;
    on([&] { saved = app->Workbooks(1)->Saved(); });
    if (!saved) {
        Variant answer;
        on([&] { answer = app->GetSaveAsFilename(); });
        if (answer.isBool() || answer.toString().isEmpty()) {
            closeIt = false;
        } else {
            const QString file = answer.toString();
            // A workbook that could not be written stays open and prepared:
            // closing it now would lose every row the program wrote.
            if (!trapErrors([&] { app->Workbooks(1)->SaveAs(file); })) {
                closeIt = false;
                MsgBox(QStringLiteral("Failed to save the workbook as") + QStringLiteral("\r\n") + file
                           + QStringLiteral("\r\n") + Err.Description + QStringLiteral("\r\n")
                           + QStringLiteral("The workbook stays open."),
                       vbOKOnly | vbExclamation | vbSystemModal | vbMsgBoxSetForeground);
            }
        }
    }
    if (closeIt) {
        xlBookOk = false;
        bool refused = false;
        on([&] { refused = !app->Workbooks(1)->Close(); });
        // Still open (a close question answered Cancel): still the program's.
        if (refused)
            xlBookOk = true;
    } else {
        xlBookOk = true;
    }
    xlClosing = false;

    int open = 0;
    on([&] { open = app->Workbooks()->Count(); });
    if (open > 0)
        on([&] { app->setVisible(true); });
    setMainState(Qt::WindowNoState);
    Err.Clear();
}

} // namespace vt
