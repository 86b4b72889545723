// The export: 10,000 shots from the simulated chronograph through the import
// blocks (a Begin row and its header copies before every string, a shot row
// with its statistics and ballistic formulas per shot, one End row) into a
// new workbook of the spreadsheet program, which is then saved as .xlsx and
// read back. Reports rows per second for each stage and the file size; then
// the same cells (values, formulas and their results, sheet by sheet) written
// by a bare program that calls libxlsxwriter and nothing else, measured in
// the same run, and our filling plus saving as a multiple of it; then the
// same with the bare program writing the cells' formats as well. Our side and
// the bare program run as pairs, back to back, each pair in the other order
// than the one before; the ratios are medians over the pairs, with their
// spread; the same pairs once more by the processor time of the program's
// thread, which a machine shared with other work disturbs far less than the
// clock. The heap the import blocks took, by the cells they stored, is the
// store's memory per cell.
//
// The export driver runs as for the CFile export command (connection,
// workbook from the template, calculation state); it hands over to a reader
// that hands the parsed shot lines to the CFile reader's row step, so the
// write stage times the import blocks and the spreadsheet's recalculation
// behind them, not the search of a CFile or the parsing of its lines.
//
//   bench_export [--shots N[,N...]]   (VT_BENCH_REPS pairs, default 5; each size in a process of its own)

#include "common/benchutil.h"
#include "common/xlfixture.h"

#include "editor/modDocument.h"
#include "editor/modEditorNbr.h"
#include "export/modExpExc.h"
#include "export/modExpRdr.h"
#include "platform/errors.h"
#include "platform/spreadsheet.h"
#include "platform/spreadsheet_data.h"
#include "serial/modRxEngine.h"
#include "shell/frmMDI.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <ctime>
#include <malloc.h>
#include <string>

#include <xlsxwriter.h>

namespace {

using namespace vt;

// The simulator's lines as the CFile reader parses them: its shots and the
// block ends between them, read before the clock starts.
struct Lines {
    std::vector<CapExportRec> parsed;
    int shots = 0;
    int lastCount = 0;
};

Lines simulatorShots(int count)
{
    bench::SimShotLines sim;
    QString error;
    if (!sim.start(&error)) {
        std::fprintf(stderr, "The simulated chronograph did not start: %s\n", qPrintable(error));
        std::exit(1);
    }
    Lines l;
    CapExportRec &c = CapExport;
    while (l.shots < count) {
        c.excLine = QString::fromLatin1(sim.next());
        c.capNewBlk = false;
        prsCapLine();
        if (c.capShotOk) {
            ++l.shots;
            l.lastCount = c.capShotCnt;
        } else if (!c.capNewBlk || l.parsed.empty()) {
            continue;
        }
        l.parsed.push_back(c);
    }
    return l;
}

// The processor time the program's thread has used.
double threadSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

const Lines *feed = nullptr;
double writeSeconds = 0;
double writeCpu = 0;
int32_t rowsWritten = 0;
int blocksWritten = 0;
double heapPerCell = 0;

// Bytes the allocator has handed out and not had back.
qint64 heapInUse()
{
    const struct mallinfo2 m = mallinfo2();
    return qint64(m.uordblks + m.hblkhd);
}

qint64 storedCells(const xl::SheetPtr &sheet) { return qint64(sheet->data().cellCount()); }

// The reader the driver hands over to: the rows of the CFile export, with
// the lines already found and parsed.
int16_t writeBlocks(int16_t &source, int16_t &sheetType)
{
    bench::Stopwatch w;
    const double cpu = threadSeconds();
    rstShotRec();
    putXlSource(source, sheetType);
    const int i = sheetType - 1;
    const int32_t firstRow = XlSes.xlLastRow[i];
    blocksWritten = 0;
    const xl::SheetPtr sheet = spreadsheetApp()->ActiveSheet();
    const qint64 cellsBefore = storedCells(sheet);
    const qint64 heapBefore = heapInUse();
    CapExportRec &c = CapExport;
    for (const CapExportRec &line : feed->parsed) {
        // Whether a Begin row is due carries over from the line before.
        const bool beginDue = c.capBlkPend;
        c = line;
        c.capBlkPend = beginDue;
        if (beginDue)
            ++blocksWritten;
        if (!putCapLine(source, sheetType))
            return expSheetFailed;
    }
    putXlEnd(source, sheetType);
    // What the cells written take on the heap (with their formulas), each.
    heapPerCell = double(heapInUse() - heapBefore) / double(std::max<qint64>(1, storedCells(sheet) - cellsBefore));
    spreadsheetApp()->ActiveSheet()->Cells(int(XlSes.xlLastRow[i]), 1)->Activate();
    writeSeconds = w.seconds();
    writeCpu = threadSeconds() - cpu;
    rowsWritten = XlSes.xlLastRow[i] - firstRow;
    return Err.Number != 0 ? int16_t(1) : int16_t(0);
}

// The cells of a saved workbook as plain data, made before any clock runs:
// what a bare program writing the same file would hold.
struct BareCell {
    lxw_row_t row;
    lxw_col_t col;
    enum Kind { Number, Text, Formula } kind;
    double number;
    std::string text;   // the text, or the formula
    int style;          // index into BareBook::styles, -1 for the default
};
struct BareSheet {
    std::string name;
    std::vector<BareCell> cells;
};
struct BareBook {
    std::vector<BareSheet> sheets;
    std::vector<xl::Style> styles;      // each distinct style once
};

BareBook bareCells(const xl::BookPtr &book)
{
    BareBook out;
    const auto styleIndex = [&](const xl::Style &st) {
        if (st.isDefault())
            return -1;
        for (size_t i = 0; i < out.styles.size(); ++i)
            if (out.styles[i] == st)
                return int(i);
        out.styles.push_back(st);
        return int(out.styles.size() - 1);
    };
    for (const auto &sheet : book->data().sheets) {
        BareSheet b{sheet->name.toStdString(), {}};
        b.cells.reserve(sheet->cellCount());
        sheet->forEach([&](int row, int col, const xl::Cell &cell) {
            const auto r = lxw_row_t(row - 1);
            const auto c = lxw_col_t(col - 1);
            const int st = styleIndex(sheet->style(cell));
            const xl::Variant value = sheet->constant(cell);
            if (cell.hasFormula()) {
                b.cells.push_back({r, c, BareCell::Formula, xl::evaluateCell(cell, *sheet).number(),
                                   sheet->formulaText(cell).toStdString(), st});
            } else if (value.isNumber()) {
                b.cells.push_back({r, c, BareCell::Number, value.number(), {}, st});
            } else if (!value.isEmpty()) {
                b.cells.push_back({r, c, BareCell::Text, 0, value.toString().toStdString(), st});
            }
        });
        out.sheets.push_back(std::move(b));
    }
    return out;
}

// The bare program: the cells straight into libxlsxwriter, with their
// formats when `styled` (made once each, at the start). Answers the seconds
// it took (and in *cpu the processor time), or a negative number when the
// file could not be written. Kept a function of its own, so that a profiler
// can count it apart.
[[gnu::noinline]] double writeBare(const BareBook &book, const QString &path, bool styled, double *cpu)
{
    bench::Stopwatch w;
    const double cpuStart = threadSeconds();
    lxw_workbook *wb = workbook_new(path.toStdString().c_str());
    if (!wb)
        return -1;
    std::vector<lxw_format *> formats;
    if (styled)
        for (const xl::Style &st : book.styles)
            formats.push_back(xl::newXlsxFormat(wb, st));
    for (const BareSheet &s : book.sheets) {
        lxw_worksheet *ws = workbook_add_worksheet(wb, s.name.c_str());
        for (const BareCell &c : s.cells) {
            lxw_format *f = styled && c.style >= 0 ? formats[size_t(c.style)] : nullptr;
            switch (c.kind) {
            case BareCell::Number: worksheet_write_number(ws, c.row, c.col, c.number, f); break;
            case BareCell::Text: worksheet_write_string(ws, c.row, c.col, c.text.c_str(), f); break;
            case BareCell::Formula:
                worksheet_write_formula_num(ws, c.row, c.col, c.text.c_str(), f, c.number);
                break;
            }
        }
    }
    if (workbook_close(wb) != LXW_NO_ERROR)
        return -1;
    *cpu = threadSeconds() - cpuStart;
    return w.seconds();
}

// Filling plus saving against the bare program, pair by pair (each pair ran
// back to back): the median ratio and the range the pairs spread over.
QString pairedRatio(const std::vector<double> &ours, const std::vector<double> &bare, const char *what = "")
{
    std::vector<double> ratios;
    for (size_t i = 0; i < ours.size() && i < bare.size(); ++i)
        ratios.push_back(ours[i] / bare[i]);
    const auto [lo, hi] = std::minmax_element(ratios.begin(), ratios.end());
    return QStringLiteral("filling plus saving %1 s%2 = %3 x the bare program (median of %4 pairs, %5 to %6%7)")
        .arg(bench::median(ours), 0, 'f', 3)
        .arg(QString::fromLatin1(what))
        .arg(bench::median(ratios), 0, 'f', 2)
        .arg(ratios.size())
        .arg(*lo, 0, 'f', 2)
        .arg(*hi, 0, 'f', 2)
        .arg(*hi > 2 * *lo ? QStringLiteral(", more than 2 x apart") : QString());
}

QString timing(qint64 rows, const std::vector<double> &times)
{
    const double med = bench::median(times);
    return bench::rate(double(rows) / med, "rows/s")
        + QStringLiteral("  (%1 rows, median of %2: %3 s)").arg(rows).arg(times.size()).arg(med, 0, 'f', 3);
}

int run(int shots, int reps)
{
    const Lines lines = simulatorShots(shots);
    feed = &lines;
    vttest::seedTemplate();
    installEditorSubsystem();
    frmMDI::get();
    CreateNewCFile();
    expParts.expCFile = writeBlocks;

    constexpr int16_t kCFileSheet = 4, kCFileSource = 2, kExport = 3, kCFileExporter = 5;
    const QString path = qEnvironmentVariable("VT_BENCH_DIR") + QStringLiteral("/work/export.xlsx");
    std::vector<double> writes, saves, reads, ours, bares, styledBares, oursCpu, styledBaresCpu;
    qint64 rows = 0, size = 0, cells = 0;
    qsizetype bareStyles = 0;
    qint64 bareSize = 0, styledBareSize = 0;
    const QString barePath = qEnvironmentVariable("VT_BENCH_DIR") + QStringLiteral("/work/bare.xlsx");
    BareBook bare;
    for (int r = 0; r < reps; ++r) {
        vttest::resetExport();
        expParts.expCFile = writeBlocks;
        writeSeconds = 0;
        expExcel(kExport, kCFileSource, kCFileSheet, kCFileExporter);
        if (writeSeconds == 0 || !xlApp) {
            std::fprintf(stderr, "The export did not run\n");
            return 1;
        }
        writes.push_back(writeSeconds);
        rows = rowsWritten;
        const QString sheetName = XlSes.xlSheetName[kCFileSheet - 1];
        const int lastShotRow = int(XlSes.xlLastRow[kCFileSheet - 1]) - 3;

        const auto saveOurs = [&] {
            QFile::remove(path);
            bench::Stopwatch w;
            const double cpu = threadSeconds();
            xlApp->Workbooks(1)->SaveAs(path);
            saves.push_back(w.seconds());
            oursCpu.push_back(writeCpu + threadSeconds() - cpu);
            size = QFileInfo(path).size();
            ours.push_back(writes.back() + saves.back());
        };
        const auto saveBare = [&] {
            for (const bool styled : {false, true}) {
                QFile::remove(barePath);
                double cpu = 0;
                const double bareSeconds = writeBare(bare, barePath, styled, &cpu);
                if (bareSeconds < 0)
                    return false;
                (styled ? styledBares : bares).push_back(bareSeconds);
                if (styled)
                    styledBaresCpu.push_back(cpu);
                (styled ? styledBareSize : bareSize) = QFileInfo(barePath).size();
            }
            return true;
        };
        // Each pair in the other order than the one before, so that neither
        // side always runs on the caches and the machine the other left.
        // The bare program's cells are taken once, after our first save: taking
        // them computes every formula, which our save must do for itself.
        // Every repetition writes the same cells.
        bool bareOk = true;
        if (r % 2 == 0) {
            saveOurs();
            if (r == 0) {
                bare = bareCells(xlApp->Workbooks(1));
                cells = 0;
                for (const BareSheet &b : bare.sheets)
                    cells += qint64(b.cells.size());
                bareStyles = qsizetype(bare.styles.size());
            }
            bareOk = saveBare();
        } else {
            bareOk = saveBare();
            saveOurs();
        }
        if (!bareOk) {
            std::fprintf(stderr, "The bare program could not write %s\n", qPrintable(barePath));
            return 1;
        }
        bench::Stopwatch w;

        xl::AppPtr reader = xl::CreateApplication();
        w.restart();
        xl::BookPtr book = reader->Workbooks()->Open(path);
        reads.push_back(w.seconds());
        const double last = book->Worksheets(sheetName)->Cells(lastShotRow, 1)->Value().toDouble();
        if (int(last) != lines.lastCount) {
            std::fprintf(stderr, "The file read back does not end with the last shot (%g)\n", last);
            return 1;
        }
        book->Close(false);
        reader->Quit();
    }
    vttest::resetExport();

    bench::figure(QStringLiteral("export"), QStringLiteral("%1 shots in %2 blocks onto the CFile sheet of a new workbook")
                                                .arg(shots)
                                                .arg(blocksWritten));
    bench::figure(QStringLiteral("export import blocks"), timing(rows, writes));
    bench::figure(QStringLiteral("export save .xlsx"), timing(rows, saves));
    bench::figure(QStringLiteral("export read back .xlsx"), timing(rows, reads));
    bench::figure(QStringLiteral("export heap per cell"),
                  QStringLiteral("%1 bytes (the heap the import blocks took, by the cells they stored)").arg(heapPerCell, 0, 'f', 1));
    bench::figure(QStringLiteral("export file size"), bench::megabytes(size) + QStringLiteral("  (%1 bytes)").arg(size));
    bench::figure(QStringLiteral("export bare libxlsxwriter"),
                  QStringLiteral("the same %1 cells in %2 s (median of %3); %4 MB")
                      .arg(cells)
                      .arg(bench::median(bares), 0, 'f', 3)
                      .arg(bares.size())
                      .arg(double(bareSize) / (1024.0 * 1024.0), 0, 'f', 2));
    bench::figure(QStringLiteral("export against the bare writer"), pairedRatio(ours, bares));
    // The bare program once more with the cells' formats (our file has them;
    // writing them costs libxlsxwriter a style per cell).
    bench::figure(QStringLiteral("export bare libxlsxwriter with formats"),
                  QStringLiteral("the same cells and %1 formats in %2 s (median of %3), %4 MB")
                      .arg(bareStyles)
                      .arg(bench::median(styledBares), 0, 'f', 3)
                      .arg(styledBares.size())
                      .arg(double(styledBareSize) / (1024.0 * 1024.0), 0, 'f', 2));
    bench::figure(QStringLiteral("export against the bare writer with formats"), pairedRatio(ours, styledBares));
    bench::figure(QStringLiteral("export processor time against the bare writer with formats"),
                  pairedRatio(oursCpu, styledBaresCpu, " of the program's thread"));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return bench::runMain(argc, argv, [](const QStringList &args) {
        QStringList sizes{QStringLiteral("10000")};
        if (args.size() >= 3 && args[1] == QLatin1String("--shots"))
            sizes = args[2].split(u',');
        std::vector<int> shots;
        for (const QString &n : sizes) {
            shots.push_back(n.toInt());
            if (shots.back() <= 0 || shots.back() > 1000000) {
                std::fprintf(stderr, "usage: bench_export [--shots N[,N...]]\n");
                return 2;
            }
        }
        // Each size in a run of its own, so that one size's heap does not
        // carry over into the next one's figures.
        if (shots.size() > 1) {
            int status = 0;
            for (int n : shots)
                if (bench::runStage({QStringLiteral("--shots"), QString::number(n)}) != 0)
                    status = 1;
            return status;
        }
        return run(shots.front(), bench::repetitions(5));
    });
}
