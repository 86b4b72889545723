// What the spreadsheet stand-in keeps behind its automation objects: cells,
// formats, row and column properties, views; shared by the model, the
// formula engine, the .xlsx reader and writer and the window.
#pragma once

#include "platform/spreadsheet.h"

#include <QList>
#include <functional>
#include <map>
#include <set>

struct lxw_workbook;
struct lxw_format;

namespace vt::xl {

struct FormulaExpr;

struct Style {
    QString numberFormat = QStringLiteral("General");
    int align = xlGeneral;
    int colorIndex = xlColorIndexAutomatic;
    double size = 11;
    bool bold = false;
    int underline = xlUnderlineStyleNone;
    bool operator==(const Style &o) const
    {
        return numberFormat == o.numberFormat && align == o.align && colorIndex == o.colorIndex && size == o.size
            && bold == o.bold && underline == o.underline;
    }
    bool isDefault() const { return *this == Style(); }
};

struct CellData {
    Variant value;                               // the constant; unused for a formula
    QString formula;                             // "=..." or empty
    std::shared_ptr<const FormulaExpr> expr;     // parsed formula
    mutable Variant cached;                      // its last result
    mutable quint64 cachedAt = 0;                // generation of that result
    mutable bool evaluating = false;             // cycle guard
    Style style;
    QString link;                                // hyperlink address, empty for none
    bool hasFormula() const { return !formula.isEmpty(); }
    // What the user typed: the formula, or the constant's text.
    QString entryText() const { return hasFormula() ? formula : value.displayText(); }
    bool isBlank() const { return value.isEmpty() && formula.isEmpty() && style.isDefault() && link.isEmpty(); }
    void clearContent() { value = Variant(); formula.clear(); expr.reset(); cached = Variant(); cachedAt = 0; }
};

inline qint64 cellKey(int row, int col) { return qint64(row - 1) * MaxColumns + (col - 1); }
inline int keyRow(qint64 key) { return int(key / MaxColumns) + 1; }
inline int keyCol(qint64 key) { return int(key % MaxColumns) + 1; }

struct BookData;

inline constexpr double DefaultRowHeight = 15;
inline constexpr double DefaultColumnWidth = 8.43;

struct SheetData {
    QString name;
    int visible = xlSheetVisible;
    std::map<qint64, CellData> cells;            // row-major
    std::map<int, double> colWidth;              // only columns set
    std::set<int> hiddenCols;
    std::map<int, double> rowHeight;             // only rows set
    std::set<int> hiddenRows;
    int zoom = 100;
    int splitRow = 0, splitCol = 0;              // frozen panes
    int activeRow = 1, activeCol = 1;
    int selR1 = 1, selC1 = 1, selR2 = 1, selC2 = 1;
    BookData *book = nullptr;
    std::weak_ptr<Worksheet> handle;

    const CellData *find(int row, int col) const
    {
        const qint64 key = cellKey(row, col);
        if (!cells.empty() && cells.rbegin()->first == key)
            return &cells.rbegin()->second;
        auto it = cells.find(key);
        return it == cells.end() ? nullptr : &it->second;
    }
    CellData &at(int row, int col)
    {
        // Rows are mostly filled in order, each below the last: a cell past
        // every stored one goes in at the end without a search.
        // The cell just written (its formats follow its value) is the last one.
        const qint64 key = cellKey(row, col);
        if (cells.empty() || cells.rbegin()->first < key)
            return cells.emplace_hint(cells.end(), key, CellData())->second;
        if (cells.rbegin()->first == key)
            return cells.rbegin()->second;
        return cells[key];
    }
    double width(int col) const { auto it = colWidth.find(col); return it == colWidth.end() ? DefaultColumnWidth : it->second; }
    double height(int row) const { auto it = rowHeight.find(row); return it == rowHeight.end() ? DefaultRowHeight : it->second; }
    // Calls f(row, col, cell) for each stored cell of the rectangle, row by
    // row, until f returns false; false when it stopped early. A small
    // rectangle is looked up cell by cell, a large one walks the stored cells.
    template <typename F>
    bool eachStored(int r1, int c1, int r2, int c2, F f) const
    {
        if (qint64(r2 - r1 + 1) * (c2 - c1 + 1) <= 4096) {
            for (int r = r1; r <= r2; ++r)
                for (int c = c1; c <= c2; ++c)
                    if (const CellData *p = find(r, c); p && !f(r, c, *p))
                        return false;
            return true;
        }
        const auto end = cells.upper_bound(cellKey(r2, MaxColumns));
        for (auto it = cells.lower_bound(cellKey(r1, 1)); it != end; ++it) {
            const int c = keyCol(it->first);
            if (c >= c1 && c <= c2 && !f(keyRow(it->first), c, it->second))
                return false;
        }
        return true;
    }
    // The value of a cell, formulas computed.
    Variant value(int row, int col) const;
    int usedRows() const;                        // last row holding anything, 0 when empty
    int usedColumns() const;
};

struct BookData {
    QString name;                                // "Book1" or the file name
    QString fullPath;                            // empty before the first save
    bool readOnly = false;
    bool saved = true;
    bool closed = false;
    bool updateRemoteReferences = true, precisionAsDisplayed = false, saveLinkValues = true;
    std::vector<std::shared_ptr<SheetData>> sheets;
    int active = 0;                              // index into sheets
    AppState *app = nullptr;
    SheetData *sheet(const QString &name) const; // any case; null when missing
    void changed();                              // a change: unsaved, formulas out of date
};

// Every change of any cell moves the generation on, so cached formula results
// know when they are stale.
quint64 generation();
void bumpGeneration();

// --- formulas (spreadsheet_formula.cpp) -------------------------------------

// Parses "=..." into an expression; on a syntax error returns null and sets *error.
std::shared_ptr<const FormulaExpr> parseFormula(const QString &text, QString *error = nullptr);
// The result of a cell's formula on its sheet.
Variant evaluateCell(const CellData &cell, const SheetData &sheet);
// The formula text with its relative references moved by rows and columns;
// a reference pushed off the sheet becomes #REF!.
QString shiftFormula(const QString &text, int dRows, int dCols);

// A parsed address: a cell, a rectangle, whole columns or whole rows.
struct Area {
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
};
// "A5", "$D$6", "A1:C3", "A:V", "F", "3:3", "5"; false for anything else.
// `bareColumns`/`bareRows` allow "F" and "5" alone (for Columns() and Rows()).
bool parseArea(const QString &text, Area *area, bool bareColumns = false, bool bareRows = false);

// Entering text as a user types it: "=..." a formula, a number text a number,
// "TRUE"/"FALSE" truth values, "" nothing, anything else text.
Variant parseEntry(const QString &text, bool *isFormula);

// --- the application's state (spreadsheet.cpp) -----------------------------

// An application for our own code that reads and writes workbook files (the
// template generator): the environment switches do not apply to it.
AppPtr createApplicationForFiles();

struct Question {
    QString kind;          // box, open, save, dialog
    QString title, text;
    QStringList buttons;
    QString defaultAnswer;
    QString filter;        // file dialogs: "Description (*.xls), *.xls"
    QString initial;       // file dialogs: the folder or name to start from
};

class AppState {
public:
    QString version = QStringLiteral("9.0");
    bool ready = true;
    bool visible = false;
    int windowState = xlNormal;
    QString caption = QStringLiteral("Spreadsheet");
    int calculation = xlCalculationAutomatic;
    int maxIterations = 100;
    double maxChange = 0.001;
    int sheetsInNewWorkbook = 3;
    int bookCounter = 0;
    bool gone = false;                           // after Quit
    std::vector<BookPtr> books;                  // open workbooks, in opening order
    BookPtr activeBook;
    std::vector<AppEvents *> sinks;
    std::weak_ptr<Application> self;
    QWidget *window = nullptr;
    // Tells the window that something it shows has changed.
    std::function<void()> refresh;
};

// Asks through the answering seam; returns the answer text (a button name, a
// path, a value; empty for a cancelled file dialog).
QString ask(const Question &q);

// Saves for the window and the save question: asks for a file name when the
// workbook has none (or always with saveAs), shows a failure in a box; false
// when the workbook was not saved.
bool saveBook(const BookPtr &wb, bool saveAs);

// Raises the events; a receiver's failure is reported and does not stop the caller.
bool raiseBeforeClose(AppState &st, const BookPtr &book);          // true = cancelled
bool raiseBeforeDoubleClick(AppState &st, const SheetPtr &sheet, int row, int col); // true = cancelled

// --- files (spreadsheet_xlsx.cpp) -------------------------------------------

// Writes the workbook to `path` (atomically: a temporary file beside it, then
// renamed). Returns false with *error set when it cannot.
bool writeXlsx(const BookData &book, const QString &path, QString *error);
// A new format of the file being written for a cell's style; null for the default style.
lxw_format *newXlsxFormat(lxw_workbook *wb, const Style &st);
// Reads a workbook; false with *error set for a missing, unreadable or foreign file.
bool readXlsx(const QString &path, BookData *book, QString *error);

} // namespace vt::xl
