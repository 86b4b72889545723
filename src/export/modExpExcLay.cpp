// The workbook's layout (sheet and source tables, header rows, column and row
// visibility) and the rows of an import block.
#include "export/modExpExc.h"

#include "chrono/modCroCox.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/timers.h"
#include "serial/modRxEngine.h"
#include "shell/modBusy.h"
#include "shell/modErrMsgs.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"

#include <QStringBuilder>

#include <charconv>

namespace vt {

using namespace vt::xl;

namespace {

// Index into the per-sheet tables; a type outside 1 to 7 is a subscript error.
int typeIndex(int16_t sheetType)
{
    if (sheetType < 1 || sheetType > 7)
        raise(9);
    return sheetType - 1;
}

// The row writers do nothing for a sheet type outside the table.
bool badType(int16_t sheetType)
{
    if (sheetType >= 1 && sheetType <= 7)
        return false;
    Err.set(RtError(9));
    return true;
}

SheetPtr activeSheet() { return xlWriteSheet ? xlWriteSheet : spreadsheetApp()->ActiveSheet(); }

// A sheet that could not be had is "nothing": every use of it fails with 91.
const SheetPtr &need(const SheetPtr &ws)
{
    if (!ws)
        raise(91);
    return ws;
}

QString rowsText(int32_t row) { return QString::number(row) + u':' + QString::number(row); }

// A single-precision value as the number it reads as (295.3, not 295.2999878).
double singleNumber(float value)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    double d = 0;
    std::from_chars(buf, res.ptr, d);
    return d;
}

// The cell formats of the block rows.
struct CellFmt {
    int align = 0;       // 2 left, 3 centre, 4 right; 0 untouched
    int color = 0;       // colour index; 0 untouched
    double size = 0;     // 0 untouched
    int underline = -1;  // -1 untouched
    bool bold = false;
    QString numberFormat;
};

// Writes one cell and its formats, each as its own statement: what fails is
// skipped and the rest is done.
void putCell(ResumeNext &on, const SheetPtr &ws, int32_t row, int col, const Variant *value, const CellFmt &f,
             const QString &formula = {})
{
    // The cell and its font are taken once and used by every statement; one
    // that could not be had is asked for again, so each statement still
    // fails on its own.
    RangePtr held;
    FontPtr heldFont;
    const auto cell = [&]() -> const RangePtr & {
        if (!held)
            held = need(ws)->Cells(int(row), col);
        return held;
    };
    const auto font = [&]() -> const FontPtr & {
        if (!heldFont)
            heldFont = cell()->Font();
        return heldFont;
    };
    if (value)
        on([&] { cell()->setValue(*value); });
    if (!formula.isEmpty())
        on([&] { cell()->setFormula(formula); });
    if (f.underline >= 0)
        on([&] { font()->setUnderline(f.underline); });
    if (f.align)
        on([&] { cell()->setHorizontalAlignment(f.align); });
    if (f.color)
        on([&] { font()->setColorIndex(f.color); });
    if (f.size > 0)
        on([&] { font()->setSize(f.size); });
    if (f.bold)
        on([&] { font()->setBold(true); });
    if (!f.numberFormat.isEmpty())
        on([&] { cell()->setNumberFormat(f.numberFormat); });
}

// The cells of one row, gathered as the row is made up and then written at
// once through the sheet: no range object per cell, and the workbook's change
// marked once. A row the sheet refuses as a whole (no sheet, a closed
// workbook, an entry that does not parse) is written again a statement at a
// time, so that each statement fails or succeeds on its own as above;
// writing a cell again as it already stands changes nothing.
class RowCells {
public:
    RowCells(ResumeNext &on, const SheetPtr &ws, int32_t row) : on_(on), ws_(ws), row_(row)
    {
        cells_.reserve(21);                          // a shot row's columns
        fmts_.reserve(21);
    }

    void put(int col, const Variant *value, const CellFmt &f, const QString &formula = {})
    {
        fmts_.push_back(f);
        CellWrite &w = cells_.emplace_back();
        w.column = col;
        if (value)
            w.value = *value;
        w.formula = formula;
        if (f.underline >= 0)
            w.underline = f.underline;
        if (f.align)
            w.alignment = f.align;
        if (f.color)
            w.colorIndex = f.color;
        if (f.size > 0)
            w.size = f.size;
        if (f.bold)
            w.bold = true;
        if (!f.numberFormat.isEmpty())
            w.numberFormat = f.numberFormat;
    }
    void put(int col, const Variant &value, const CellFmt &f) { put(col, &value, f); }

    // Writes what was gathered.
    void write()
    {
        bool done = cells_.empty();
        if (!done && ws_) {
            try {
                ws_->writeCells(int(row_), cells_.data(), cells_.size());
                done = true;
            } catch (...) {
            }
        }
        if (!done)
            for (size_t k = 0; k < cells_.size(); ++k) {
                const CellWrite &w = cells_[k];
                putCell(on_, ws_, row_, w.column, w.value ? &*w.value : nullptr, fmts_[k], w.formula);
            }
        cells_.clear();
        fmts_.clear();
    }

private:
    ResumeNext &on_;
    const SheetPtr &ws_;
    int32_t row_;
    std::vector<CellWrite> cells_;
    std::vector<CellFmt> fmts_;
};

// A number, or "-?-" where it is missing or invalid.
Variant orMissing(double value, bool missing) { return missing ? Variant(QStringLiteral("-?-")) : Variant(value); }

QString importLabel(int16_t source)
{
    return getSrcTag(source) + QStringLiteral("-Import(") + QString::number(XlSes.xlImpCount) + u')';
}

// A statement of its own, as ResumeNext runs one, for statements run many
// times a row: the body is called directly rather than through a function
// object, and what it throws is recorded in Err as ResumeNext records it.
template <typename F>
void statement(ResumeNext &on, F body)
{
    try {
        body();
    } catch (...) {
        on([] { throw; });
    }
}

// Where a row of an import block goes: the sheet tables' index, the row, and
// the sheet written to (null when it could not be had: each statement on it
// then fails on its own); for a Begin or End row also the import's label.
struct BlockRow {
    int i = 0;
    int32_t row = 0;
    SheetPtr ws;
    QString label;
};

BlockRow blockRow(ResumeNext &on, int16_t sheetType)
{
    BlockRow b;
    b.i = sheetType - 1;
    b.row = XlSes.xlLastRow[b.i];
    on([&] { b.ws = activeSheet(); });
    return b;
}

BlockRow labelledRow(ResumeNext &on, int16_t source, int16_t sheetType)
{
    BlockRow b = blockRow(on, sheetType);
    on([&] { b.label = importLabel(source); });
    return b;
}

} // namespace

QString getSrcTag(int16_t source)
{
    static const char *const tags[] = {"LGR", "MMR", "CAP", "TXT"};
    if (source < 0 || source > 3)
        raise(9);
    return QString::fromLatin1(tags[source]);
}

void setExpDefs()
{
    XlSes.ExpExcNHed[0] = true;
    XlSes.ExpExcNHed[1] = false;
    XlSes.ExpExcUHed[0] = true;
    XlSes.ExpExcUHed[1] = true;
    XlSes.ExpExcUHed[2] = false;
    for (int i = 0; i < 3; ++i) {
        XlSes.ExpExcFSts[i] = true;
        XlSes.ExpExcIPos[i] = true;
    }
}

void iniExpExc()
{
    static const char *const names[] = {"String", "Folder", "eDisk", "CFile", "Capture", "iSetup", "zOvu"};
    for (int i = 0; i < 7; ++i) {
        XlSes.xlSheetName[i] = QString::fromLatin1(names[i]);
        XlSes.xlLastRow[i] = 5;
    }
    XlSes.xlSheetCount = 7;
    XlSes.xlSetupSheet = 6;
    // A new connection starts the readers afresh; the eDisk geometry is
    // copied again before every export.
    const EDiskParse keep = EDiskPrs;
    EDiskPrs = EDiskParse();
    EDiskPrs.prsFolsDisk = keep.prsFolsDisk;
    EDiskPrs.prsStrsFol = keep.prsStrsFol;
    EDiskPrs.prsShtsStr = keep.prsShtsStr;
    CapExport.capShotOk = CapExport.capNewBlk = CapExport.capBlkPend = false;
}

void setXlCols(int16_t sheetType)
{
    const int t = typeIndex(sheetType) + 1;
    SheetPtr ws = activeSheet();
    const auto hide = [&](const char *cols, bool hidden) {
        need(ws)->Range(QString::fromLatin1(cols))->EntireColumn()->setHidden(hidden);
    };
    hide("P:Q", !XlSes.ExpExcFSts[0]);
    hide("R:U", !XlSes.ExpExcFSts[2]);
    if (XlSes.ExpExcUHed[2]) {
        hide("F:F", false);
        if (t > 3)
            hide("H:H", false);
        hide("J:J", false);
    } else {
        hide("F:F", true);
        hide("H:H", true);
        hide("J:J", true);
    }
    hide("G:G", t <= 3);
    hide("K:K", t <= 3);
    // Hidden folder and string columns give their width to column A.
    double width = XlSes.xlTplSizes[4];
    hide("B:B", !XlSes.ExpExcIPos[0]);
    if (!XlSes.ExpExcIPos[0])
        width += XlSes.xlTplSizes[5];
    hide("C:C", !XlSes.ExpExcIPos[1]);
    if (!XlSes.ExpExcIPos[1])
        width += XlSes.xlTplSizes[6];
    need(ws)->Columns(QStringLiteral("A"))->setColumnWidth(width);
}

void setXlHdrs(int16_t sheetType)
{
    (void)sheetType;
    SheetPtr ws = activeSheet();
    need(ws)->Rows(4)->EntireRow()->setHidden(!XlSes.ExpExcUHed[0]);
    need(ws)->Rows(3)->EntireRow()->setHidden(!XlSes.ExpExcNHed[0]);
}

void setXlBlkHdrs(int16_t sheetType)
{
    const int i = typeIndex(sheetType);
    SheetPtr ws = activeSheet();
    for (int32_t r = 6; r <= XlSes.xlLastRow[i]; ++r) {
        const QString a = need(ws)->Cells(int(r), 1)->Value().toString().trimmed();
        if (a == QLatin1String("Sequence") || a == QLatin1String("Total"))
            need(ws)->Rows(int(r))->EntireRow()->setHidden(!XlSes.ExpExcNHed[1]);
        else if (a == QLatin1String("(Shot #)") || a == QLatin1String("(Shots)"))
            need(ws)->Rows(int(r))->EntireRow()->setHidden(!XlSes.ExpExcUHed[1]);
    }
}

void putXlSource(int16_t source, int16_t sheetType)
{
    (void)source;
    ResumeNext on;
    QString line;
    on([&] {
        line = QStringLiteral("Source Of This Data: ") + XlSes.xlSheetName[typeIndex(sheetType)] + QStringLiteral(" from ")
               + deviceEntry(Device).trimmed();
    });
    SheetPtr ws;
    on([&] {
        ws = activeSheet();
        need(ws)->Activate();
    });
    on([&] { need(ws)->Cells(1, 5)->setValue(line); });
    // A Q1 that holds no number leaves the counter as it was before the increment.
    on([&] { XlSes.xlImpCount = CLng(need(ws)->Cells(1, 17)->Value().toDouble()); });
    XlSes.xlImpCount += 1;
    on([&] { need(ws)->Cells(1, 17)->setValue(double(XlSes.xlImpCount)); });
    on([&] { setXlCols(sheetType); });
    on([&] { setXlHdrs(sheetType); });
}

void apyXlSetup(int16_t sheetType)
{
    // A failure is shown and ends the refresh; nothing is undone.
    const auto step = [](const std::function<void()> &body) {
        if (trapErrors(body))
            return true;
        seeErrBox();
        Err.Clear();
        return false;
    };
    BookPtr wb;
    if (!step([&] {
            wb = spreadsheetApp()->Workbooks(1);
            wb->Activate();
        }))
        return;
    if (!step([&] { wb->Worksheets(XlSes.xlSheetName[typeIndex(sheetType)])->Activate(); }))
        return;
    step([&] {
        setXlCols(sheetType);
        setXlHdrs(sheetType);
        setXlBlkHdrs(sheetType);
    });
}

// --- import blocks ---------------------------------------------------------------

bool xlRowsFit(int16_t sheetType, int32_t rows)
{
    if (badType(sheetType))
        return false;
    // Widened so that a next row far past the end cannot overflow.
    return int64_t(XlSes.xlLastRow[sheetType - 1]) + rows <= MaxRows;
}

void seeXlSheetFull(int16_t sheetType, int32_t exported, int32_t notExported)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString name = sheetType >= 1 && sheetType <= 7 ? XlSes.xlSheetName[sheetType - 1] : QString();
    const QString text = QStringLiteral("The ") + name + QStringLiteral(" sheet is full: a sheet holds ")
                         + Format(double(MaxRows), QStringLiteral("###,###,###,###")) + QStringLiteral(" rows.") + crlf
                         + Format(double(exported), QStringLiteral("###,###,###,##0")) + QStringLiteral(" shots were exported, ")
                         + Format(double(notExported), QStringLiteral("###,###,###,##0"))
                         + QStringLiteral(" shots were not exported.");
    MsgBox(text, vbOKOnly | vbExclamation | vbSystemModal | vbMsgBoxSetForeground);
}

void putXlBegin(int16_t source, int16_t sheetType)
{
    if (badType(sheetType))
        return;
    ResumeNext on;
    const BlockRow b = labelledRow(on, source, sheetType);
    const int i = b.i;
    const int32_t R = b.row;
    const SheetPtr &ws = b.ws;
    const bool download = sheetType <= 3;

    RowCells cells(on, ws, R);
    CellFmt a;
    a.color = 5;
    a.size = 8;
    if (XlSes.xlShotCnt == 0) {
        a.align = 2;
        cells.put(1, QStringLiteral("Begin ") + b.label, a);
    } else {
        a.align = 4;
        cells.put(1, b.label, a);
    }

    const QString d = download ? QStringLiteral("Shots=") + QString::number(EDiskPrs.prsSiz) + QStringLiteral("    Folder=")
                                     + QString::number(EDiskPrs.prsFol) + QStringLiteral("    String=")
                                     + QString::number(EDiskPrs.prsStr) + QString(8, u' ')
                               : QStringLiteral("Pause(") + QString::number(XlSes.xlShotCnt) + u')';
    cells.put(4, d, CellFmt{2, 5, 8, 2, false, {}});
    cells.put(11, nullptr, CellFmt{3, 5, 8, 1, false, {}});
    cells.put(12, (download ? QStringLiteral("String") : QStringLiteral("Pause")) + QStringLiteral(" Notes:"),
              CellFmt{4, 5, 8, 1, false, {}});
    cells.put(13, QString(15, u' ') + QStringLiteral("Type your notes here") + QString(30, u' '),
              CellFmt{2, xlColorIndexAutomatic, 8, 2, false, {}});
    cells.put(18, QStringLiteral("Bullet"), CellFmt{3, xlColorIndexAutomatic, 8, 1, false, {}});
    cells.write();

    on([&] { need(ws)->Range(QStringLiteral("3:3"))->Copy(need(ws)->Range(rowsText(R + 1))); });
    on([&] { need(ws)->Range(rowsText(R + 1))->EntireRow()->setHidden(!XlSes.ExpExcNHed[1]); });

    QString weight;
    if (CroSta.croVelUnits == QLatin1String("f/s")) {
        XlSes.xlUnitSys = 1;
        weight = QStringLiteral("grains");
        on([&] { XlSes.xlBulletWt = float(need(ws)->Cells(1, 19)->Value().toDouble()); });
    } else {
        XlSes.xlUnitSys = 2;
        weight = QStringLiteral("grams");
        on([&] { XlSes.xlBulletWt = float(need(ws)->Cells(2, 19)->Value().toDouble()); });
    }
    const auto caption = [](const QString &unit) { return u'(' + unit + u')'; };
    on([&] { need(ws)->Range(QStringLiteral("E4"))->setValue(caption(CroSta.croVelUnits)); });
    on([&] { need(ws)->Range(QStringLiteral("G4"))->setValue(caption(CroSta.croTimUnits)); });
    on([&] { need(ws)->Range(QStringLiteral("I4"))->setValue(caption(CroSta.croTmpUnits)); });
    on([&] { need(ws)->Range(QStringLiteral("R4"))->setValue(caption(weight)); });

    on([&] { need(ws)->Range(QStringLiteral("4:4"))->Copy(need(ws)->Range(rowsText(R + 2))); });
    on([&] { need(ws)->Range(rowsText(R + 2))->EntireRow()->setHidden(!XlSes.ExpExcUHed[1]); });

    XlSes.xlLastRow[i] = R + 3;
}

void putXlShot(int16_t source, int16_t sheetType)
{
    (void)source;
    if (badType(sheetType))
        return;
    ResumeNext on;
    const BlockRow b = blockRow(on, sheetType);
    const int i = b.i;
    const int32_t r = b.row;
    const SheetPtr &ws = b.ws;
    XlSes.xlCurRow = r;

    // The block's first shot row and this shot's position in the block.
    int32_t first = 0, n = 0;
    if (sheetType <= 3) {
        first = XlSes.xlBlkFirst;
        n = XlSes.xlCurRow - XlSes.xlBlkFirst;
    } else {
        // Capture sheets find the block on the sheet itself: up to the marker
        // row of its header copies, row 5, or 101 rows.
        XlSes.xlBlkCount = 0;
        int32_t row = r;
        bool stopped = false;
        for (int k = 0; k < 101; ++k, --row) {
            bool marker = false;
            // Only a text can read "BLK": a number is not turned into text to find out.
            statement(on, [&] {
                const Variant v = need(ws)->cellValue(int(row), 11);
                marker = v.isText() && v.toString() == QLatin1String("BLK");
            });
            if (row <= 5 || marker) {
                stopped = true;
                break;
            }
            ++XlSes.xlBlkCount;
        }
        first = stopped ? row + 1 : r - 100;
        n = XlSes.xlBlkCount;
    }
    // Shots in the block so far: a download block counts its first shot as 0.
    const int32_t shots = sheetType <= 3 ? n + 1 : n;

    const EDiskParse &s = EDiskPrs;
    const CellFmt small{3, 5, 8, -1, false, {}};
    const CellFmt big{3, 0, 10, -1, true, {}};
    const CellFmt ballistic{3, 3, 8, -1, false, {}};
    RowCells cells(on, ws, r);
    cells.put(1, double(XlSes.xlShotCnt), CellFmt{3, 5, 8, -1, false, QStringLiteral("0")});
    cells.put(2, orMissing(s.prsFol, s.prsFol <= 0), small);
    cells.put(3, orMissing(s.prsStr, s.prsStr <= 0), small);
    cells.put(4, orMissing(s.prsShot, s.prsShot <= 0), big);
    CellFmt vel = big;
    vel.numberFormat = QStringLiteral("0.00");
    cells.put(5, orMissing(singleNumber(s.prsVel), s.prsVel <= 0), vel);
    cells.put(6, CroSta.croVelUnits, CellFmt{});
    cells.put(7, orMissing(singleNumber(s.prsTim), s.prsTim <= 0), big);
    cells.put(8, CroSta.croTimUnits, CellFmt{});
    cells.put(9, orMissing(singleNumber(s.prsTmp), s.prsTmp >= 998), big);
    cells.put(10, CroSta.croTmpUnits, CellFmt{});
    cells.put(11, double(n), small);

    const QString range = QStringLiteral("(E") % QString::number(first) % QStringLiteral(":E") % QString::number(r) % u')';
    const QString cur = QString::number(XlSes.xlCurRow);
    CellFmt minFmt = small;
    minFmt.numberFormat = QStringLiteral("0.00");
    cells.put(12, nullptr, minFmt, QStringLiteral("=MIN") % range);
    cells.put(13, nullptr, small, QStringLiteral("=MAX") % range);
    cells.put(14, nullptr, small, QStringLiteral("=AVERAGE") % range);
    cells.put(15, nullptr, small, QStringLiteral("=(M") % cur % QStringLiteral("-L") % cur % u')');
    // A deviation needs two shots.
    if (shots < 2) {
        cells.put(16, 0.0, small);
        cells.put(17, 0.0, small);
    } else {
        cells.put(16, nullptr, small, QStringLiteral("=STDEV") % range);
        cells.put(17, nullptr, small, QStringLiteral("=(P") % cur % QStringLiteral("* 100)/N") % cur);
    }

    const bool imperial = XlSes.xlUnitSys == 1;
    cells.put(18, singleNumber(XlSes.xlBulletWt),
              CellFmt{3, xlColorIndexAutomatic, 8, -1, true, imperial ? QStringLiteral("0.00") : QStringLiteral("0.0000")});
    const QString rr = QString::number(r);
    const QString E = QStringLiteral("$E") % rr, R = QStringLiteral("$R") % rr;
    QString energy, momentum, power;
    if (imperial) {
        energy = QStringLiteral("=(") % E % QStringLiteral("*iSetup!$D$6") % u'*' % E % QStringLiteral("*iSetup!$D$6")
                 % QStringLiteral(" * (") % R % QStringLiteral("*iSetup!$D$4") % QStringLiteral("/2000))");
        momentum = QStringLiteral("=(") % E % QStringLiteral("*iSetup!$D$6") % u'*' % R % QStringLiteral("*iSetup!$D$4") % u')';
        power = QStringLiteral("=(") % E % u'*' % R % QStringLiteral("/1000)");
    } else {
        energy = QStringLiteral("=(") % E % u'*' % E % QStringLiteral(" * (") % R % QStringLiteral("/2000))");
        momentum = QStringLiteral("=(") % E % u'*' % R % u')';
        power = QStringLiteral("=(") % E % QStringLiteral("/iSetup!$D$6") % u'*' % R % QStringLiteral("*iSetup!$D$5")
                % QStringLiteral("/1000)");
    }
    // Written as values: a text that begins with "=" is taken as a formula.
    cells.put(19, energy, ballistic);
    cells.put(20, momentum, ballistic);
    cells.put(21, power, ballistic);
    cells.write();

    XlSes.xlLastRow[i] = r + 1;
}

void putXlEnd(int16_t source, int16_t sheetType)
{
    if (badType(sheetType))
        return;
    ResumeNext on;
    const BlockRow b = labelledRow(on, source, sheetType);
    const int i = b.i;
    const int32_t e = b.row;
    const SheetPtr &ws = b.ws;
    RowCells cells(on, ws, e);
    cells.put(1, QStringLiteral("End ") + b.label, CellFmt{2, 5, 8, -1, false, {}});
    const QDateTime when = now();
    cells.put(4,
              QStringLiteral("Date=") + Format(when, QStringLiteral("Short Date")) + QStringLiteral("  Time=")
                  + Format(when, QStringLiteral("Long Time")),
              CellFmt{2, 5, 8, 2, false, {}});
    cells.write();
    XlSes.xlLastRow[i] = e + 2;
    on([&] { need(ws)->Cells(2, 17)->setValue(double(XlSes.xlLastRow[i])); });
}

} // namespace vt
