#include "export/xltemplate.h"

#include "platform/errors.h"
#include "platform/spreadsheet.h"
#include "platform/spreadsheet_data.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vt {

using namespace vt::xl;

QStringList xlTemplateSheets()
{
    return {QStringLiteral("String"), QStringLiteral("Folder"), QStringLiteral("eDisk"), QStringLiteral("CFile"),
            QStringLiteral("Capture"), QStringLiteral("iSetup"), QStringLiteral("zOvu")};
}

namespace {

// Column widths of the data sheets, A to U (whole pixels of the default font).
const double kWidths[21] = {10.71, 6.71, 6.71, 8.43, 10.71, 5.71, 8.43, 5.71, 7.71, 5.71, 6.71,
                            9.71, 9.71, 9.71, 9.71, 8.71, 8.71, 8.71, 10.71, 10.71, 10.71};

const char *const kNames[21] = {nullptr, "Folder", "String", "Shot", "Velocity", "Unit", "Time", "Unit", "Temp",
                                "Unit", "Pos", "Minimum", "Maximum", "Average", "Spread", "Std Dev", "SD %",
                                "Bullet", "Energy", "Momentum", "Power F."};
const char *const kUnits[21] = {nullptr, "(#)", "(#)", "(#)", "(f/s)", "", "(sec)", "", "(fah)", "", "BLK",
                                "(vel)", "(vel)", "(vel)", "(vel)", "(vel)", "(%)", "(grains)", "(joule)",
                                "(g m/s)", "(PF)"};

void helpLink(const SheetPtr &ws)
{
    RangePtr a1 = ws->Range(QStringLiteral("A1"));
    a1->Hyperlinks()->Add(a1, XlHelpPage, QStringLiteral("Help"));
    a1->Font()->setColorIndex(5);
    a1->Font()->setUnderline(xlUnderlineStyleSingle);
}

void label(const SheetPtr &ws, const QString &cell, const QString &text, bool bold = false, double size = 8)
{
    RangePtr r = ws->Range(cell);
    r->setValue(text);
    r->Font()->setBold(bold);
    r->Font()->setSize(size);
}

// A data sheet: header rows 1 to 4 and the layout of the shot rows.
void dataSheet(const SheetPtr &ws, bool capture)
{
    helpLink(ws);
    label(ws, QStringLiteral("C1"), QStringLiteral("Vantrell ") + ws->Name(), true, 12);
    label(ws, QStringLiteral("P1"), QStringLiteral("Imports:"));
    label(ws, QStringLiteral("P2"), QStringLiteral("Next Row:"));
    ws->Range(QStringLiteral("Q2"))->setValue(5);
    label(ws, QStringLiteral("R1"), QStringLiteral("Grains:"));
    label(ws, QStringLiteral("R2"), QStringLiteral("Grams:"));
    ws->Range(QStringLiteral("S1"))->setValue(150);
    ws->Range(QStringLiteral("S1"))->setNumberFormat(QStringLiteral("0.00"));
    ws->Range(QStringLiteral("S2"))->setValue(9.7198);
    ws->Range(QStringLiteral("S2"))->setNumberFormat(QStringLiteral("0.0000"));
    ws->Range(QStringLiteral("P1:S2"))->setHorizontalAlignment(xlRight);

    ws->Cells(3, 1)->setValue(capture ? QStringLiteral("Total") : QStringLiteral("Sequence"));
    ws->Cells(4, 1)->setValue(capture ? QStringLiteral("(Shots)") : QStringLiteral("(Shot #)"));
    for (int c = 2; c <= 21; ++c) {
        ws->Cells(3, c)->setValue(QString::fromLatin1(kNames[c - 1]));
        ws->Cells(4, c)->setValue(QString::fromLatin1(kUnits[c - 1]));
    }
    RangePtr names = ws->Range(QStringLiteral("A3:U3"));
    names->Font()->setBold(true);
    names->Font()->setSize(10);
    names->setHorizontalAlignment(xlCenter);
    RangePtr units = ws->Range(QStringLiteral("A4:U4"));
    units->Font()->setSize(8);
    units->Font()->setColorIndex(5);
    units->setHorizontalAlignment(xlCenter);
    ws->Rows(3)->setRowHeight(18);
    ws->Rows(4)->setRowHeight(14.25);
    for (int c = 1; c <= 21; ++c)
        ws->Columns(c)->setColumnWidth(kWidths[c - 1]);
}

// The option table: rows r1 and r2 of each sheet type, the cell blocks at columns c1 and c2.
constexpr int kCol1 = 3, kCol2 = 7;
int firstRow(int type) { return 9 + 3 * (type - 1); }

void setupSheet(const SheetPtr &ws, const QStringList &names)
{
    helpLink(ws);
    label(ws, QStringLiteral("C1"), QStringLiteral("Vantrell Export Setup"), true, 12);
    label(ws, QStringLiteral("K2"), QStringLiteral("Next Row:"));
    ws->Range(QStringLiteral("L2"))->setValue(5);
    // Conversion factors used by the ballistics formulas of the data sheets.
    const char *const header[] = {"Conversion", "From", "To", "Factor"};
    for (int c = 1; c <= 4; ++c)
        ws->Cells(3, c)->setValue(QString::fromLatin1(header[c - 1]));
    ws->Range(QStringLiteral("A3:D3"))->Font()->setBold(true);
    const struct { const char *what, *from, *to; double factor; } factors[] = {
        {"Weight", "grains", "grams", 0.06479891},
        {"Weight", "grams", "grains", 1 / 0.06479891},
        {"Length", "feet", "metres", 0.3048},
    };
    for (int i = 0; i < 3; ++i) {
        ws->Cells(4 + i, 1)->setValue(QString::fromLatin1(factors[i].what));
        ws->Cells(4 + i, 2)->setValue(QString::fromLatin1(factors[i].from));
        ws->Cells(4 + i, 3)->setValue(QString::fromLatin1(factors[i].to));
        ws->Cells(4 + i, 4)->setValue(factors[i].factor);
    }
    ws->Range(QStringLiteral("D4:D6"))->setNumberFormat(QStringLiteral("0.00000000"));

    // Where each data sheet's options lie: column numbers in N and O, row numbers in R and S.
    label(ws, QStringLiteral("M1"), QStringLiteral("Sheet"), true);
    label(ws, QStringLiteral("N1"), QStringLiteral("Col 1"), true);
    label(ws, QStringLiteral("O1"), QStringLiteral("Col 2"), true);
    label(ws, QStringLiteral("R1"), QStringLiteral("Row 1"), true);
    label(ws, QStringLiteral("S1"), QStringLiteral("Row 2"), true);
    for (int t = 1; t <= 5; ++t) {
        ws->Cells(t + 1, 13)->setValue(names[t - 1]);
        ws->Cells(t + 1, 14)->setValue(kCol1);
        ws->Cells(t + 1, 15)->setValue(kCol2);
        ws->Cells(t + 1, 18)->setValue(firstRow(t));
        ws->Cells(t + 1, 19)->setValue(firstRow(t) + 1);
    }

    const char *const upper[] = {"Units Top Row", "Units Every String", "Units After Value",
                                 "Incremental Stats", "Summery Stats", "Power & Energy"};
    const char *const lower[] = {"Names Top Row", "Names Every String", "(not used)",
                                 "Folder Numbers", "String Numbers", "(not used)"};
    label(ws, QStringLiteral("A7"), QStringLiteral("Upper row:"), true);
    label(ws, QStringLiteral("A8"), QStringLiteral("Lower row:"), true);
    for (int k = 0; k < 3; ++k) {
        label(ws, columnLetters(kCol1 + k) + QStringLiteral("7"), QString::fromLatin1(upper[k]), true);
        label(ws, columnLetters(kCol2 + k) + QStringLiteral("7"), QString::fromLatin1(upper[3 + k]), true);
        label(ws, columnLetters(kCol1 + k) + QStringLiteral("8"), QString::fromLatin1(lower[k]), true);
        label(ws, columnLetters(kCol2 + k) + QStringLiteral("8"), QString::fromLatin1(lower[3 + k]), true);
    }
    // The defaults of the program's own table.
    const bool units[] = {true, true, false}, heads[] = {true, false, false};
    const bool stats[] = {true, true, true}, ipos[] = {true, true, true};
    const auto yes = [](bool b) { return b ? QStringLiteral("YES") : QStringLiteral("NO"); };
    for (int t = 1; t <= 5; ++t) {
        const int r1 = firstRow(t), r2 = r1 + 1;
        label(ws, QStringLiteral("A%1").arg(r1), names[t - 1], true, 10);
        for (int k = 0; k < 3; ++k) {
            ws->Cells(r1, kCol1 + k)->setValue(yes(units[k]));
            ws->Cells(r2, kCol1 + k)->setValue(yes(heads[k]));
            ws->Cells(r1, kCol2 + k)->setValue(yes(stats[k]));
            ws->Cells(r2, kCol2 + k)->setValue(yes(ipos[k]));
        }
        ws->Range(QStringLiteral("C%1:I%2").arg(r1).arg(r2))->setHorizontalAlignment(xlCenter);
    }
    ws->Columns(QStringLiteral("A"))->setColumnWidth(14.71);
    ws->Range(QStringLiteral("C:I"))->setColumnWidth(16.71);
}

} // namespace

bool buildXlTemplate(const QString &path, QString *error)
{
    try {
        AppPtr app = createApplicationForFiles();
        const QStringList names = xlTemplateSheets();
        app->setSheetsInNewWorkbook(int(names.size()));
        BookPtr wb = app->Workbooks()->Add();
        for (int i = 1; i <= int(names.size()); ++i) {
            SheetPtr ws = wb->Worksheets(i);
            ws->setName(names[i - 1]);
            if (names[i - 1] == QLatin1String("iSetup"))
                setupSheet(ws, names);
            else
                dataSheet(ws, i >= 4);
            ws->Activate();
            ws->Range(QStringLiteral("A5"))->Select();
        }
        wb->Worksheets(QStringLiteral("zOvu"))->setVisible(false);
        wb->Worksheets(1)->Activate();
        wb->SaveAs(path);
        wb->Close(false);
        return true;
    } catch (const RtError &e) {
        if (error)
            *error = e.description;
        return false;
    }
}

bool seedXlTemplate(const QString &folder, QString *error)
{
    const QString pristine = QDir(folder).filePath(XlPristineName);
    const QString tpl = QDir(folder).filePath(XlTemplateName);
    if (!QFileInfo::exists(pristine) && !buildXlTemplate(pristine, error))
        return false;
    if (!QFileInfo::exists(tpl) && !QFile::copy(pristine, tpl)) {
        if (error)
            *error = QStringLiteral("Cannot write '%1'.").arg(tpl);
        return false;
    }
    return true;
}

} // namespace vt
