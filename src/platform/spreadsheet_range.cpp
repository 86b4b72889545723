// The spreadsheet stand-in's worksheets, ranges, fonts and hyperlinks: what
// the automation reads and writes of cells, over the sheet's cell store.
#include "platform/spreadsheet.h"

#include "platform/errors.h"
#include "platform/spelling.h"
#include "platform/spreadsheet_data.h"

#include <QRegularExpression>
#include <cmath>

namespace vt::xl {

// --- Worksheet ----------------------------------------------------------------------------------

SheetData &Worksheet::data() const
{
    book_->data();
    return *d_;
}

QString Worksheet::Name() const { return data().name; }

void Worksheet::setName(const QString &name)
{
    SheetData &s = data();
    static const QRegularExpression bad(QStringLiteral(R"([:\\/?*\[\]])"));
    const bool clash = [&] {
        SheetData *other = s.book->sheet(name);
        return other && other != &s;
    }();
    if (name.isEmpty() || name.size() > 31 || name.contains(bad) || name.startsWith(u'\'') || name.endsWith(u'\'') || clash)
        vt::raise(1004, QStringLiteral("Cannot rename a sheet to '%1'.").arg(name));
    if (s.name == name)
        return;
    s.name = name;
    s.book->changed();
}

int Worksheet::Index() const
{
    SheetData &s = data();
    const auto &v = s.book->sheets;
    for (size_t i = 0; i < v.size(); ++i)
        if (v[i].get() == &s)
            return int(i) + 1;
    return 0;
}

int Worksheet::Visible() const { return data().visible; }

void Worksheet::setVisible(int state)
{
    SheetData &s = data();
    if (state == 1)
        state = xlSheetVisible;          // True given as 1
    if (state != xlSheetVisible && state != xlSheetHidden && state != xlSheetVeryHidden)
        vt::raise(1004, QStringLiteral("Unable to set the Visible property of the Worksheet class"));
    if (s.visible == state)
        return;
    BookData &b = *s.book;
    if (state != xlSheetVisible) {
        int visibleOthers = 0;
        for (const auto &o : b.sheets)
            if (o.get() != &s && o->visible == xlSheetVisible)
                ++visibleOthers;
        if (visibleOthers == 0)
            vt::raise(1004, QStringLiteral("Unable to set the Visible property of the Worksheet class"));
    }
    s.visible = state;
    // A hidden sheet cannot stay the active one: the next visible sheet takes over.
    if (state != xlSheetVisible && b.sheets[size_t(b.active)].get() == &s) {
        const int n = int(b.sheets.size());
        for (int k = 1; k < n; ++k) {
            const int j = (b.active + k) % n;
            if (b.sheets[size_t(j)]->visible == xlSheetVisible) {
                b.active = j;
                break;
            }
        }
    }
    b.changed();
}

void Worksheet::Activate()
{
    SheetData &s = data();
    if (s.visible != xlSheetVisible)
        vt::raise(1004, QStringLiteral("Activate method of Worksheet class failed"));
    s.book->active = Index() - 1;
    book_->Activate();
}

void Worksheet::CheckSpelling()
{
    SheetData &s = data();
    spelling::Checker checker;
    if (!checker.isOpen())
        vt::raise(1004, QStringLiteral("Method 'CheckSpelling' of object '_Worksheet' failed"));
    std::vector<std::pair<int, int>> texts;
    s.forEach([&](int r, int c, const Cell &cell) {
        if (Variant::Type(cell.type) == Variant::Type::Text)
            texts.emplace_back(r, c);
    });
    for (const auto &[r, c] : texts) {
        // Looked up afresh: a cell may have changed while a question was open.
        const Cell *cell = s.find(r, c);
        const Variant v = cell ? s.constant(*cell) : Variant();
        if (!v.isText() || v.toString().trimmed().isEmpty())
            continue;
        QString text = v.toString();
        const bool goOn = spelling::checkText(checker, text);
        if (text != v.toString()) {
            s.setConstant(s.at(r, c), Variant(text));
            s.book->changed();
        }
        if (!goOn)
            return;
    }
}

static void checkCell(int row, int col)
{
    if (row < 1 || row > MaxRows || col < 1 || col > MaxColumns)
        vt::raise(1004, QStringLiteral("Application-defined or object-defined error"));
}

RangePtr Worksheet::Range(const QString &address)
{
    data();
    Area a;
    if (!parseArea(address, &a))
        vt::raise(1004, QStringLiteral("Method 'Range' of object '_Worksheet' failed"));
    return std::make_shared<class Range>(shared_from_this(), a.r1, a.c1, a.r2, a.c2);
}

RangePtr Worksheet::Range(const RangePtr &cell1, const RangePtr &cell2)
{
    data();
    if (!cell1 || !cell2 || cell1->Worksheet().get() != this || cell2->Worksheet().get() != this)
        vt::raise(1004, QStringLiteral("Method 'Range' of object '_Worksheet' failed"));
    return std::make_shared<class Range>(shared_from_this(), std::min(cell1->Row(), cell2->Row()),
                                         std::min(cell1->Column(), cell2->Column()),
                                         std::max(cell1->lastRow(), cell2->lastRow()),
                                         std::max(cell1->lastColumn(), cell2->lastColumn()));
}

RangePtr Worksheet::Cells(int row, int column)
{
    data();
    checkCell(row, column);
    return std::make_shared<class Range>(shared_from_this(), row, column, row, column);
}

RangePtr Worksheet::Cells()
{
    data();
    return std::make_shared<class Range>(shared_from_this(), 1, 1, MaxRows, MaxColumns);
}

RangePtr Worksheet::Rows(int row)
{
    data();
    checkCell(row, 1);
    return std::make_shared<class Range>(shared_from_this(), row, 1, row, MaxColumns);
}

RangePtr Worksheet::Rows(const QString &rows)
{
    data();
    Area a;
    if (!parseArea(rows, &a, false, true) || a.c1 != 1 || a.c2 != MaxColumns)
        vt::raise(1004, QStringLiteral("Method 'Rows' of object '_Worksheet' failed"));
    return std::make_shared<class Range>(shared_from_this(), a.r1, a.c1, a.r2, a.c2);
}

RangePtr Worksheet::Columns(int column)
{
    data();
    checkCell(1, column);
    return std::make_shared<class Range>(shared_from_this(), 1, column, MaxRows, column);
}

RangePtr Worksheet::Columns(const QString &columns)
{
    data();
    Area a;
    if (!parseArea(columns, &a, true, false) || a.r1 != 1 || a.r2 != MaxRows)
        vt::raise(1004, QStringLiteral("Method 'Columns' of object '_Worksheet' failed"));
    return std::make_shared<class Range>(shared_from_this(), a.r1, a.c1, a.r2, a.c2);
}

Variant Worksheet::cellValue(int row, int column) const
{
    const SheetData &s = data();
    checkCell(row, column);
    return s.value(row, column);
}

// --- Range ----------------------------------------------------------------------------------------

namespace {

// Writing to more cells than this at once is refused rather than run out of memory.
constexpr long long MaxCellsAtOnce = 1000000;

template <typename F>
void eachCell(SheetData &s, int r1, int c1, int r2, int c2, F f)
{
    const long long n = qint64(r2 - r1 + 1) * (c2 - c1 + 1);
    if (n > MaxCellsAtOnce)
        vt::raise(1004, QStringLiteral("The range is too large."));
    for (int r = r1; r <= r2; ++r)
        for (int c = c1; c <= c2; ++c)
            f(r, c, s.at(r, c));
}

} // namespace

bool Range::wholeRows() const { return c1_ == 1 && c2_ == MaxColumns; }
bool Range::wholeColumns() const { return r1_ == 1 && r2_ == MaxRows; }
long long Range::Count() const { sheet_->data(); return qint64(r2_ - r1_ + 1) * (c2_ - c1_ + 1); }

QString Range::Address() const
{
    sheet_->data();
    const auto cell = [](int r, int c) { return QStringLiteral("$%1$%2").arg(columnLetters(c)).arg(r); };
    if (wholeColumns() && !wholeRows())
        return QStringLiteral("$%1:$%2").arg(columnLetters(c1_), columnLetters(c2_));
    if (wholeRows() && !wholeColumns())
        return QStringLiteral("$%1:$%2").arg(r1_).arg(r2_);
    if (r1_ == r2_ && c1_ == c2_)
        return cell(r1_, c1_);
    return cell(r1_, c1_) + u':' + cell(r2_, c2_);
}

RangePtr Range::Cells(int row, int column)
{
    sheet_->data();
    const int r = r1_ + row - 1, c = c1_ + column - 1;
    checkCell(r, c);
    return std::make_shared<Range>(sheet_, r, c, r, c);
}

Variant Range::Value() const { return sheet_->data().value(r1_, c1_); }

namespace {

// An entry made ready for its cells: a constant, or a formula with its parse
// (the parser's result stays until its next parse). 1004 when the formula
// does not parse, before any cell is touched.
struct Entry {
    bool isFormula = false;
    Variant constant;
    QString text;                                // a formula's; only a formula keeps its text
    const FormulaExpr *parsed = nullptr;

    explicit Entry(const Variant &v) : constant(v)
    {
        if (v.isText())
            constant = parseEntry(v.toString(), &isFormula);
        if (!isFormula)
            return;
        text = v.toString();
        QString err;
        parsed = parseFormula(text, &err);
        if (!parsed)
            vt::raise(1004, err);
    }
    // Into the entry's first cell.
    void put(SheetData &s, Cell &cell) const
    {
        if (isFormula)
            s.setFormula(cell, text, parsed);
        else
            s.setConstant(cell, constant);
    }
};

} // namespace

// Puts an entry (a constant or a formula text) into every cell of the range.
static void enter(SheetData &s, int r1, int c1, int r2, int c2, const Variant &v)
{
    const Entry entry(v);
    eachCell(s, r1, c1, r2, c2, [&](int r, int c, Cell &cell) {
        // The first cell takes the parse; the others their moved copies.
        if (entry.isFormula && (r != r1 || c != c1)) {
            const QString moved = shiftFormula(entry.text, r - r1, c - c1);
            s.setFormula(cell, moved, parseFormula(moved));
        } else {
            entry.put(s, cell);
        }
        if (s.isBlank(cell))
            s.dropIfBlank(r, c);
    });
    s.book->changed();
}

void Range::setValue(const Variant &v)
{
    SheetData &s = sheet_->data();
    enter(s, r1_, c1_, r2_, c2_, v);
}

QString Range::Formula() const
{
    const SheetData &s = sheet_->data();
    const Cell *c = s.find(r1_, c1_);
    return c ? s.entryText(*c) : QString();
}

void Range::setFormula(const QString &text) { setValue(Variant(text)); }

void Range::ClearContents()
{
    SheetData &s = sheet_->data();
    eachCell(s, r1_, c1_, r2_, c2_, [&](int r, int c, Cell &cell) {
        s.clearContent(cell);
        s.dropIfBlank(r, c);
    });
    s.book->changed();
}

static const Style &styleAt(const SheetData &s, int r, int c)
{
    static const Style plain;
    const Cell *p = s.find(r, c);
    return p ? s.style(*p) : plain;
}

template <typename F>
static void restyle(const SheetPtr &sheet, int r1, int c1, int r2, int c2, F f)
{
    SheetData &s = sheet->data();
    eachCell(s, r1, c1, r2, c2, [&](int r, int c, Cell &cell) {
        Style st = s.style(cell);
        f(st);
        s.setStyle(cell, st);
        if (s.isBlank(cell))
            s.dropIfBlank(r, c);
    });
    s.book->changed();
}

QString Range::NumberFormat() const { return styleAt(sheet_->data(), r1_, c1_).numberFormat; }

// The formats as their setters take them: the value kept, or 1004 for one out of range.
static QString numberFormatOf(const QString &format) { return format.isEmpty() ? QStringLiteral("General") : format; }

static int alignmentOf(int alignment)
{
    switch (alignment) {
    case 2: return xlLeft;
    case 3: return xlCenter;
    case 4: return xlRight;
    case xlGeneral: case xlLeft: case xlCenter: case xlRight:
    case xlFill: case xlCenterAcrossSelection: case xlJustify: case xlDistributed:
        return alignment;
    default:
        vt::raise(1004, QStringLiteral("Unable to set the HorizontalAlignment property of the Range class"));
    }
}

static int colorIndexOf(int index)
{
    if (index == xlColorIndexNone)
        index = xlColorIndexAutomatic;
    if (index != xlColorIndexAutomatic && (index < 1 || index > 56))
        vt::raise(1004, QStringLiteral("Unable to set the ColorIndex property of the Font class"));
    return index;
}

static double sizeOf(double points)
{
    if (!(points >= 1 && points <= 409))
        vt::raise(1004, QStringLiteral("Unable to set the Size property of the Font class"));
    return points;
}

static int underlineOf(int style)
{
    switch (style) {
    case 0: return xlUnderlineStyleNone;
    case 1: case -1: return xlUnderlineStyleSingle;
    case xlUnderlineStyleNone: case xlUnderlineStyleSingle: case xlUnderlineStyleDouble:
    case xlUnderlineStyleSingleAccounting: case xlUnderlineStyleDoubleAccounting:
        return style;
    default:
        vt::raise(1004, QStringLiteral("Unable to set the Underline property of the Font class"));
    }
}

void Range::setNumberFormat(const QString &format)
{
    const QString f = numberFormatOf(format);
    restyle(sheet_, r1_, c1_, r2_, c2_, [&](Style &st) { st.numberFormat = f; });
}

int Range::HorizontalAlignment() const { return styleAt(sheet_->data(), r1_, c1_).align; }

void Range::setHorizontalAlignment(int alignment)
{
    alignment = alignmentOf(alignment);
    restyle(sheet_, r1_, c1_, r2_, c2_, [&](Style &st) { st.align = alignment; });
}

FontPtr Range::Font()
{
    sheet_->data();
    return std::make_shared<class Font>(shared_from_this());
}

LinksPtr Range::Hyperlinks()
{
    sheet_->data();
    return std::make_shared<class Hyperlinks>(shared_from_this());
}

LinkPtr Range::Hyperlinks(int index) { return Hyperlinks()->Item(index); }

void Range::Copy(const RangePtr &destination)
{
    SheetData &src = sheet_->data();
    if (!destination)
        vt::raise(1004, QStringLiteral("Copy method of Range class failed"));
    SheetData &dst = destination->Worksheet()->data();
    const int dr = destination->Row() - r1_, dc = destination->Column() - c1_;
    const int rows = r2_ - r1_ + 1, cols = c2_ - c1_ + 1;
    if (destination->Row() + rows - 1 > MaxRows || destination->Column() + cols - 1 > MaxColumns)
        vt::raise(1004, QStringLiteral("Copy method of Range class failed"));
    // Take the source first: the two areas may overlap.
    struct Taken {
        int row, col;
        Variant value;
        QString formula;
        Style style;
        QString link;
    };
    std::vector<Taken> taken;
    src.eachStored(r1_, c1_, r2_, c2_, [&](int r, int c, const Cell &cell) {
        Taken t{r + dr, c + dc, src.constant(cell), {}, src.style(cell), src.link(r, c)};
        if (cell.hasFormula())
            t.formula = shiftFormula(src.formulaText(cell), dr, dc);
        taken.push_back(std::move(t));
        return true;
    });
    std::map<int, double> widths, heights;
    std::vector<int> defaultWidths, defaultHeights;
    if (wholeColumns())
        for (int c = c1_; c <= c2_; ++c) {
            auto it = src.colWidth.find(c);
            if (it != src.colWidth.end()) widths[c + dc] = it->second; else defaultWidths.push_back(c + dc);
        }
    if (wholeRows())
        for (int r = r1_; r <= r2_; ++r) {
            auto it = src.rowHeight.find(r);
            if (it != src.rowHeight.end()) heights[r + dr] = it->second; else defaultHeights.push_back(r + dr);
        }
    // Clear the destination area, then put the copies in.
    const int tr1 = r1_ + dr, tr2 = r2_ + dr, tc1 = c1_ + dc, tc2 = c2_ + dc;
    dst.eraseArea(tr1, tc1, tr2, tc2);
    for (const Taken &t : taken) {
        if (t.value.isEmpty() && t.formula.isEmpty() && t.style.isDefault() && t.link.isEmpty())
            continue;
        if (!t.link.isEmpty())
            dst.setLink(t.row, t.col, t.link);
        Cell &cell = dst.at(t.row, t.col);
        if (!t.formula.isEmpty())
            dst.setFormula(cell, t.formula, parseFormula(t.formula), t.value);
        else
            dst.setConstant(cell, t.value);
        dst.setStyle(cell, t.style);
    }
    for (const auto &[c, w] : widths) dst.colWidth[c] = w;
    for (int c : defaultWidths) dst.colWidth.erase(c);
    for (const auto &[r, h] : heights) dst.rowHeight[r] = h;
    for (int r : defaultHeights) dst.rowHeight.erase(r);
    dst.book->changed();
}

RangePtr Range::EntireRow() const
{
    sheet_->data();
    return std::make_shared<Range>(sheet_, r1_, 1, r2_, MaxColumns);
}

RangePtr Range::EntireColumn() const
{
    sheet_->data();
    return std::make_shared<Range>(sheet_, 1, c1_, MaxRows, c2_);
}

bool Range::Hidden() const
{
    const SheetData &s = sheet_->data();
    if (wholeColumns() && !wholeRows()) {
        for (int c = c1_; c <= c2_; ++c)
            if (!s.hiddenCols.count(c))
                return false;
        return true;
    }
    if (wholeRows() && !wholeColumns()) {
        for (int r = r1_; r <= r2_; ++r)
            if (!s.hiddenRows.count(r))
                return false;
        return true;
    }
    vt::raise(1004, QStringLiteral("Unable to get the Hidden property of the Range class"));
}

void Range::setHidden(bool hidden)
{
    SheetData &s = sheet_->data();
    if (wholeColumns() && !wholeRows()) {
        for (int c = c1_; c <= c2_; ++c)
            hidden ? void(s.hiddenCols.insert(c)) : void(s.hiddenCols.erase(c));
    } else if (wholeRows() && !wholeColumns()) {
        if (hidden && r2_ - r1_ >= MaxCellsAtOnce)
            vt::raise(1004, QStringLiteral("The range is too large."));
        for (int r = r1_; r <= r2_; ++r)
            hidden ? void(s.hiddenRows.insert(r)) : void(s.hiddenRows.erase(r));
    } else {
        vt::raise(1004, QStringLiteral("Unable to set the Hidden property of the Range class"));
    }
    s.book->changed();
}

// A width or height of 0 hides the columns (rows); any other shows them at that size.
static void setExtent(std::set<int> &hidden, std::map<int, double> &sizes, int from, int to, double size)
{
    for (int k = from; k <= to; ++k) {
        if (size == 0) {
            hidden.insert(k);
        } else {
            hidden.erase(k);
            sizes[k] = size;
        }
    }
}

double Range::ColumnWidth() const
{
    const SheetData &s = sheet_->data();
    return s.hiddenCols.count(c1_) ? 0 : s.width(c1_);
}

void Range::setColumnWidth(double width)
{
    SheetData &s = sheet_->data();
    if (!(width >= 0 && width <= 255))
        vt::raise(1004, QStringLiteral("Unable to set the ColumnWidth property of the Range class"));
    setExtent(s.hiddenCols, s.colWidth, c1_, c2_, snapColumnWidth(width));
    s.book->changed();
}

double Range::RowHeight() const
{
    const SheetData &s = sheet_->data();
    return s.hiddenRows.count(r1_) ? 0 : s.height(r1_);
}

void Range::setRowHeight(double height)
{
    SheetData &s = sheet_->data();
    if (!(height >= 0 && height <= 409) || r2_ - r1_ >= MaxCellsAtOnce)
        vt::raise(1004, QStringLiteral("Unable to set the RowHeight property of the Range class"));
    setExtent(s.hiddenRows, s.rowHeight, r1_, r2_, std::round(height * 4) / 4);
    s.book->changed();
}

static bool isActiveSheet(const SheetData &s)
{
    return s.book->sheets[size_t(s.book->active)].get() == &s;
}

void Range::Select()
{
    SheetData &s = sheet_->data();
    if (!isActiveSheet(s))
        vt::raise(1004, QStringLiteral("Select method of Range class failed"));
    s.selR1 = r1_; s.selC1 = c1_; s.selR2 = r2_; s.selC2 = c2_;
    s.activeRow = r1_;
    s.activeCol = c1_;
    refreshView(*s.book->app);
}

void Range::Activate()
{
    SheetData &s = sheet_->data();
    if (!isActiveSheet(s))
        vt::raise(1004, QStringLiteral("Activate method of Range class failed"));
    const bool inside = r1_ >= s.selR1 && r1_ <= s.selR2 && c1_ >= s.selC1 && c1_ <= s.selC2;
    if (!inside) {
        s.selR1 = r1_; s.selC1 = c1_; s.selR2 = r2_; s.selC2 = c2_;
    }
    s.activeRow = r1_;
    s.activeCol = c1_;
    refreshView(*s.book->app);
}

// --- Font ------------------------------------------------------------------------------------------

static const Style &styleOf(const RangePtr &r)
{
    return styleAt(r->Worksheet()->data(), r->Row(), r->Column());
}

template <typename F>
static void restyle(const RangePtr &r, F f)
{
    restyle(r->Worksheet(), r->Row(), r->Column(), r->lastRow(), r->lastColumn(), f);
}

int Font::ColorIndex() const { return styleOf(range_).colorIndex; }

void Font::setColorIndex(int index)
{
    index = colorIndexOf(index);
    restyle(range_, [&](Style &st) { st.colorIndex = index; });
}

double Font::Size() const { return styleOf(range_).size; }

void Font::setSize(double points)
{
    sizeOf(points);
    restyle(range_, [&](Style &st) { st.size = points; });
}

bool Font::Bold() const { return styleOf(range_).bold; }

void Font::setBold(bool bold)
{
    restyle(range_, [&](Style &st) { st.bold = bold; });
}

int Font::Underline() const { return styleOf(range_).underline; }

void Font::setUnderline(int style)
{
    style = underlineOf(style);
    restyle(range_, [&](Style &st) { st.underline = style; });
}

// --- Hyperlinks ---------------------------------------------------------------------------------------

static std::vector<std::pair<int, int>> linkedCells(const RangePtr &r)
{
    std::vector<std::pair<int, int>> out;
    r->Worksheet()->data().eachStored(r->Row(), r->Column(), r->lastRow(), r->lastColumn(),
                                      [&](int row, int col, const Cell &cell) {
                                          if (cell.hasLink())
                                              out.emplace_back(row, col);
                                          return true;
                                      });
    return out;
}

int Hyperlinks::Count() const { return int(linkedCells(range_).size()); }

LinkPtr Hyperlinks::Item(int index)
{
    const auto cells = linkedCells(range_);
    if (index < 1 || index > int(cells.size()))
        vt::raise(9);
    const auto [r, c] = cells[size_t(index - 1)];
    return std::make_shared<Hyperlink>(range_->Worksheet(), r, c);
}

LinkPtr Hyperlinks::Add(const RangePtr &anchor, const QString &address, const QString &textToDisplay)
{
    if (!anchor || address.isEmpty())
        vt::raise(1004, QStringLiteral("Method 'Add' of object 'Hyperlinks' failed"));
    SheetData &s = anchor->Worksheet()->data();
    s.setLink(anchor->Row(), anchor->Column(), address);
    Cell &cell = s.at(anchor->Row(), anchor->Column());
    if (!textToDisplay.isEmpty() || (Variant::Type(cell.type) == Variant::Type::Empty && !cell.hasFormula()))
        s.setConstant(cell, Variant(textToDisplay.isEmpty() ? address : textToDisplay));
    s.book->changed();
    return std::make_shared<Hyperlink>(anchor->Worksheet(), anchor->Row(), anchor->Column());
}

QString Hyperlink::Address() const
{
    const QString link = sheet_->data().link(row_, col_);
    if (link.isEmpty())
        vt::raise(1004, QStringLiteral("Application-defined or object-defined error"));
    return link;
}

void Hyperlink::setAddress(const QString &address)
{
    SheetData &s = sheet_->data();
    if (s.link(row_, col_).isEmpty() || address.isEmpty())
        vt::raise(1004, QStringLiteral("Unable to set the Address property of the Hyperlink class"));
    s.setLink(row_, col_, address);
    s.book->changed();
}

RangePtr Hyperlink::Range() const
{
    sheet_->data();
    return std::make_shared<class Range>(sheet_, row_, col_, row_, col_);
}

// --- many cells at once ----------------------------------------------------------------------------

static bool sameFormats(const CellWrite &a, const CellWrite &b)
{
    return a.underline == b.underline && a.alignment == b.alignment && a.colorIndex == b.colorIndex && a.size == b.size
        && a.bold == b.bold && a.numberFormat == b.numberFormat;
}

void Worksheet::writeCells(int row, const CellWrite *cells, size_t count)
{
    SheetData &s = data();
    // The cells and formats are checked before anything is written.
    for (size_t k = 0; k < count; ++k) {
        const CellWrite &w = cells[k];
        checkCell(row, w.column);
        if (w.underline)
            underlineOf(*w.underline);
        if (w.alignment)
            alignmentOf(*w.alignment);
        if (w.colorIndex)
            colorIndexOf(*w.colorIndex);
        if (w.size)
            sizeOf(*w.size);
    }
    bool wrote = false;
    // The cells of a row mostly take a few styles: a cell that had the style
    // the cell before had and gets the same formats gets its new style too,
    // without a lookup.
    const CellWrite *lastWrite = nullptr;
    uint32_t lastFrom = 0, lastTo = 0;
    try {
        for (size_t k = 0; k < count; ++k) {
            const CellWrite &w = cells[k];
            if (w.value) {
                const Entry entry(*w.value);
                entry.put(s, s.at(row, w.column));
                wrote = true;
            }
            if (!w.formula.isEmpty()) {
                const Entry entry{Variant(w.formula)};
                entry.put(s, s.at(row, w.column));
                wrote = true;
            }
            Cell &cell = s.at(row, w.column);
            if (lastWrite && cell.style == lastFrom && sameFormats(*lastWrite, w)) {
                cell.style = lastTo;
                wrote = true;
            } else if (w.underline || w.alignment || w.colorIndex || w.size || w.bold || w.numberFormat) {
                // The cell's new style is looked up once, with every format set.
                lastWrite = &w;
                lastFrom = cell.style;
                Style st = s.style(cell);
                if (w.underline)
                    st.underline = underlineOf(*w.underline);
                if (w.alignment)
                    st.align = alignmentOf(*w.alignment);
                if (w.colorIndex)
                    st.colorIndex = colorIndexOf(*w.colorIndex);
                if (w.size)
                    st.size = *w.size;
                if (w.bold)
                    st.bold = *w.bold;
                if (w.numberFormat)
                    st.numberFormat = numberFormatOf(*w.numberFormat);
                s.setStyle(cell, st);
                lastTo = cell.style;
                wrote = true;
            }
            if (s.isBlank(cell))
                s.dropIfBlank(row, w.column);
        }
    } catch (...) {
        if (wrote)
            s.book->changed();
        throw;
    }
    if (wrote)
        s.book->changed();
}

} // namespace vt::xl
