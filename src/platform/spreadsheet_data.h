// What the spreadsheet stand-in keeps behind its automation objects: cells,
// formats, row and column properties, views; shared by the model, the
// formula engine, the .xlsx reader and writer and the window.
#pragma once

#include "platform/spreadsheet.h"

#include <QHash>
#include <QList>
#include <array>
#include <functional>
#include <map>
#include <set>
#include <string>

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
size_t qHash(const Style &st, size_t seed = 0);

// One stored cell, 24 bytes, kept in its row's vector: its constant inline
// (a text by index into the sheet's texts), its formula and its style by
// index into the sheet's pools, so that storing a cell allocates nothing of
// its own. The sheet's accessors below read and change it.
struct Cell {
    double num = 0;                              // Number, Boolean (1/0), Error (its code)
    uint32_t ref = 0;                            // Text: index into texts; with a formula: into formulas
    uint32_t style = 0;                          // index into styles; 0 the default
    uint16_t col = 0;
    uint8_t type = 0;                            // the constant's Variant::Type; Empty under a formula
    uint8_t flags = 0;
    enum : uint8_t { HasFormula = 1, HasLink = 2 };
    bool hasFormula() const { return flags & HasFormula; }
    bool hasLink() const { return flags & HasLink; }
};

// A formula's place in its sheet's pools: its text (UTF-8), its nodes and
// argument lists, and its last result.
struct Formula {
    uint32_t text = 0, textLen = 0;              // in the sheet's formula texts
    uint32_t nodes = 0, nodeCount = 0;           // in the sheet's nodes
    uint32_t args = 0, argCount = 0;             // in the sheet's argument lists
    int32_t root = -1;                           // -1: it did not parse; `cached` is the result stored with it
    bool live = false;
    mutable bool evaluating = false;             // cycle guard
    mutable quint64 cachedAt = 0;                // generation of that result
    mutable Variant cached;                      // its last result
};

// A parsed formula's node, children by index into its formula's nodes.
enum class FuncId : uint8_t { Unknown, Min, Max, Average, Stdev };
struct NodeRect {
    int32_t r1, c1, r2, c2;
};
struct NodeKids {
    int32_t a, b;                                // Neg: a; Bin: a and b; Func: args[a] .. args[a + b - 1]
};
struct FormulaNode {
    enum Kind : uint8_t { Num, Str, Bool, Err, Ref, Neg, Bin, Func } kind = Num;
    char op = 0;
    FuncId func = FuncId::Unknown;
    int32_t text = -1;                           // Str: its text, Ref: its sheet (index into strings); -1 none
    union {
        double num;                              // Num, Bool
        CellError err;                           // Err
        NodeRect area;                           // Ref
        NodeKids kids;                           // Neg, Bin, Func
    } p{};
    bool single() const { return p.area.r1 == p.area.r2 && p.area.c1 == p.area.c2; }
};

inline qint64 cellKey(int row, int col) { return qint64(row - 1) * MaxColumns + (col - 1); }

struct BookData;

inline constexpr double DefaultRowHeight = 15;
inline constexpr double DefaultColumnWidth = 8.43;

struct SheetData {
    SheetData();
    ~SheetData();
    SheetData(const SheetData &) = delete;
    SheetData &operator=(const SheetData &) = delete;

    QString name;
    int visible = xlSheetVisible;
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

    double width(int col) const { auto it = colWidth.find(col); return it == colWidth.end() ? DefaultColumnWidth : it->second; }
    double height(int row) const { auto it = rowHeight.find(row); return it == rowHeight.end() ? DefaultRowHeight : it->second; }

    // --- cells (spreadsheet_store.cpp) ---
    const Cell *find(int row, int col) const
    {
        const std::vector<Cell> *r = rowOf(row);
        if (!r || r->empty())
            return nullptr;
        if (r->back().col == col)
            return &r->back();
        const auto it = lowerBound(*r, col);
        return it != r->end() && it->col == col ? &*it : nullptr;
    }
    // The cell, made empty when it is not stored.
    Cell &at(int row, int col);
    // Drops the cell when it holds nothing (no value, formula, style or link).
    void dropIfBlank(int row, int col);
    // Drops every stored cell of the rectangle.
    void eraseArea(int r1, int c1, int r2, int c2);
    size_t cellCount() const { return cellCount_; }
    bool isBlank(const Cell &c) const { return c.type == 0 && c.flags == 0 && c.style == 0; }

    // The constant (empty under a formula that parsed; under one that did
    // not, the result stored with it).
    Variant constant(const Cell &c) const;
    // Makes the cell hold the constant (no formula).
    void setConstant(Cell &c, const Variant &v);
    void clearContent(Cell &c);
    // A formula and its parse (null when it did not parse: `stored` is then its result).
    void setFormula(Cell &c, QStringView text, const FormulaExpr *parsed, const Variant &stored = Variant());
    const Formula &formula(const Cell &c) const { return formulas_[c.ref]; }
    QString formulaText(const Cell &c) const;
    // The formula's text as UTF-8, ended by a NUL; valid until the sheet's next change.
    const char *formulaUtf8(const Cell &c) const;
    // What the user typed: the formula, or the constant's text.
    QString entryText(const Cell &c) const;

    const Style &style(const Cell &c) const { return styles_[c.style]; }
    void setStyle(Cell &c, const Style &st) { c.style = styleIndex(st); }
    uint32_t styleIndex(const Style &st);
    size_t styleCount() const { return styles_.size(); }
    const Style &styleAt(uint32_t index) const { return styles_[index]; }

    QString link(int row, int col) const;
    // Sets or (with an empty address) removes the cell's hyperlink; the cell is made when missing.
    void setLink(int row, int col, const QString &address);

    // A formula's pools, read by the evaluator.
    const FormulaNode *nodesOf(const Formula &f) const { return nodes_.data() + f.nodes; }
    const int32_t *argsOf(const Formula &f) const { return args_.data() + f.args; }
    const QString &string(int32_t index) const { return strings_[size_t(index)]; }

    // Calls f(row, col, cell) for each stored cell of the rectangle, row by
    // row, until f returns false; false when it stopped early. Only the rows
    // and cells stored are visited.
    template <typename F>
    bool eachStored(int r1, int c1, int r2, int c2, F f) const
    {
        const int last = std::min(r2, int(pages_.size()) * PageRows);
        for (int r = std::max(r1, 1); r <= last; ++r) {
            const Page *pg = pages_[size_t(r - 1) / PageRows].get();
            if (!pg) {
                r = (r - 1) / PageRows * PageRows + PageRows;   // the next page
                continue;
            }
            const std::vector<Cell> &row = pg->rows[size_t(r - 1) % PageRows];
            if (row.empty() || row.back().col < c1)
                continue;
            for (auto it = c1 <= row.front().col ? row.begin() : lowerBound(row, c1); it != row.end() && it->col <= c2; ++it)
                if (!f(r, int(it->col), *it))
                    return false;
        }
        return true;
    }
    template <typename F>
    void forEach(F f) const
    {
        eachStored(1, 1, MaxRows, MaxColumns, [&](int r, int c, const Cell &cell) {
            f(r, c, cell);
            return true;
        });
    }

    // The value of a cell, formulas computed.
    Variant value(int row, int col) const;
    int usedRows() const;                        // last row holding anything, 0 when empty
    int usedColumns() const;

private:
    static constexpr int PageRows = 1024;
    struct Page {
        std::vector<Cell> rows[PageRows];
    };
    static std::vector<Cell>::const_iterator lowerBound(const std::vector<Cell> &row, int col);
    const std::vector<Cell> *rowOf(int row) const
    {
        const size_t p = size_t(row - 1) / PageRows;
        if (row < 1 || p >= pages_.size() || !pages_[p])
            return nullptr;
        return &pages_[p]->rows[size_t(row - 1) % PageRows];
    }
    std::vector<Cell> &rowFor(int row);
    void releaseText(Cell &c);
    void releaseFormula(Cell &c);
    uint32_t addText(const QString &text);
    int32_t internString(const QString &s);
    void compactFormulas();

    std::vector<std::unique_ptr<Page>> pages_;
    size_t cellCount_ = 0;
    std::vector<Cell> *lastRow_ = nullptr;       // the row written last: a new row takes its size
    std::vector<QString> texts_;
    std::vector<uint32_t> freeTexts_;
    std::vector<Style> styles_;                  // each distinct style once; [0] the default
    QHash<Style, uint32_t> styleIndex_;
    std::array<uint32_t, 64> recentStyles_{};     // by hash, indexes into styles_
    std::map<qint64, QString> links_;
    std::vector<Formula> formulas_;
    std::vector<uint32_t> freeFormulas_;
    std::string formulaText_;                    // the formulas' texts, UTF-8, one after another
    std::vector<FormulaNode> nodes_;
    std::vector<int32_t> args_;
    std::vector<QString> strings_;               // sheet names and texts in formulas, each once
    QHash<QString, int32_t> stringIndex_;
    size_t deadText_ = 0, deadNodes_ = 0, deadArgs_ = 0; // pool entries of formulas let go
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

// A parsed formula as the parser leaves it, before a sheet takes it into its pools.
struct FormulaExpr {
    std::vector<FormulaNode> nodes;
    std::vector<int32_t> args;
    std::vector<QString> texts;                  // FormulaNode::text indexes these here
    int32_t root = -1;
};
// Parses "=..." into an expression kept by the thread until its next parse;
// on a syntax error returns null and sets *error.
const FormulaExpr *parseFormula(const QString &text, QString *error = nullptr);
// The cell's value, its formula computed.
Variant evaluateCell(const Cell &cell, const SheetData &sheet);
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

// Tells the application's window that something it shows has changed.
void refreshView(AppState &st);

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
