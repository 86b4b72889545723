// The spreadsheet program, as the export drives it by automation: an
// in-process stand-in with the members the program uses and nothing more.
//
// The object model follows the automation model closely, so code that drives
// it reads like the automation calls it replaces:
//
//   auto app = xl::CreateApplication("excel.application");   // 429 when unavailable
//   auto wb  = app->Workbooks()->Add();
//   auto ws  = wb->Worksheets(1);                              // 9 when missing
//   ws->setName("String");                                     // 1004 on a bad name
//   ws->Range("A5")->setValue(295.5);
//   ws->Cells(5, 12)->setFormula("=MIN(E5:E9)");
//   ws->Range("P:Q")->EntireColumn()->setHidden(true);
//   ws->Range("3:3")->Copy(ws->Range("9:9"));
//   ws->Range("A1")->Hyperlinks(1)->setAddress("/path/help.htm");
//   app->ActiveWindow()->setZoom(75);
//   wb->SaveAs("/path/book.xls");                              // .xlsx content
//
// Objects are handed out as shared pointers. A workbook that has been closed
// stays a valid C++ object, but every call on it (or on its sheets and ranges)
// raises error 91, as a stale automation reference would; after Quit every call
// on the application raises 462. Errors are raised as vt::RtError with the
// numbers the platform uses: 9 (no such workbook, sheet or hyperlink index),
// 1004 (a bad name, address, value, or a failed open or save), 91 (closed
// workbook, nothing active), 13 (a value that cannot be converted).
//
// Rows and columns are numbered from 1; the grid is that of .xlsx files
// (1048576 rows by 16384 columns). Formulas: numbers, strings, cell and range
// references (relative, absolute, on other sheets as in "iSetup!$D$6"),
// + - * / ^, unary minus, parentheses, and MIN, MAX, AVERAGE, STDEV (sample).
// Results carry the spreadsheet's error values (#DIV/0!, #VALUE!, #REF!,
// #NAME?, #NUM!) and follow every change of the cells they read.
//
// Switches in the environment (read when the application is created):
//   VANTRELL_NO_SPREADSHEET=1          creation fails with error 429
//   VANTRELL_SPREADSHEET_VERSION=8.0   the Version text reported
//   VANTRELL_SPREADSHEET_NOT_READY=1   Ready stays false
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace vt::xl {

// Constants of the automation model.
enum : int {
    xlCalculationAutomatic = -4105, xlCalculationManual = -4135, xlCalculationSemiautomatic = 2,
    xlNormal = -4143, xlMinimized = -4140, xlMaximized = -4137,
    xlGeneral = 1, xlLeft = -4131, xlCenter = -4108, xlRight = -4152,
    xlFill = 5, xlCenterAcrossSelection = 7, xlJustify = -4130, xlDistributed = -4117,
    xlColorIndexAutomatic = -4105, xlColorIndexNone = -4142,
    xlUnderlineStyleNone = -4142, xlUnderlineStyleSingle = 2, xlUnderlineStyleDouble = -4119,
    xlUnderlineStyleSingleAccounting = 4, xlUnderlineStyleDoubleAccounting = 5,
    xlSheetVisible = -1, xlSheetHidden = 0, xlSheetVeryHidden = 2,
    xlArrangeStyleTiled = 1, xlArrangeStyleCascade = 7, xlArrangeStyleHorizontal = -4128,
    xlArrangeStyleVertical = -4166,
};

// The spreadsheet's error values, numbered as the automation model numbers them.
enum class CellError : int { Null = 2000, Div0 = 2007, Value = 2015, Ref = 2023, Name = 2029, Num = 2036, NA = 2042 };
QString errorText(CellError e);                   // "#DIV/0!" ...
bool errorFromText(const QString &text, CellError *e);

// A cell value: empty, a number, a text, a truth value or an error value.
class Variant {
public:
    enum class Type { Empty, Number, Text, Boolean, Error };
    Variant() = default;
    Variant(double v) : type_(Type::Number), num_(v) {}
    Variant(int v) : type_(Type::Number), num_(v) {}
    Variant(long v) : type_(Type::Number), num_(double(v)) {}
    Variant(long long v) : type_(Type::Number), num_(double(v)) {}
    Variant(float v) : type_(Type::Number), num_(double(v)) {}
    Variant(bool v) : type_(Type::Boolean), num_(v ? 1 : 0) {}
    Variant(const QString &s) : type_(Type::Text), text_(s) {}
    Variant(const char *s) : type_(Type::Text), text_(QString::fromUtf8(s)) {}
    Variant(CellError e) : type_(Type::Error), num_(int(e)) {}

    Type type() const { return type_; }
    bool isEmpty() const { return type_ == Type::Empty; }
    bool isNumber() const { return type_ == Type::Number; }
    bool isText() const { return type_ == Type::Text; }
    bool isBool() const { return type_ == Type::Boolean; }
    bool isError() const { return type_ == Type::Error; }
    double number() const { return num_; }            // the stored number (0 unless numeric or Boolean)
    bool boolean() const { return num_ != 0; }
    CellError error() const { return CellError(int(num_)); }

    // As the platform converts a value meeting a typed variable: empty gives
    // 0, a truth value -1 or 0, a text must hold a number; anything else
    // raises 13.
    double toDouble() const;
    // Empty gives "", numbers their shortest text ("295.5"), truth values
    // "True"/"False", error values "Error 2007".
    QString toString() const;
    // The text a cell shows for the value with the General format.
    QString displayText() const;

    bool operator==(const Variant &o) const;
    bool operator!=(const Variant &o) const { return !(*this == o); }

private:
    Type type_ = Type::Empty;
    double num_ = 0;
    QString text_;
};

class Application;
class Workbooks;
class Workbook;
class Sheets;
class Worksheet;
class Range;
class Font;
class Hyperlinks;
class Hyperlink;
class Window;
class Windows;
struct SheetData;
struct BookData;
class AppState;

using AppPtr = std::shared_ptr<Application>;
using BooksPtr = std::shared_ptr<Workbooks>;
using BookPtr = std::shared_ptr<Workbook>;
using SheetsPtr = std::shared_ptr<Sheets>;
using SheetPtr = std::shared_ptr<Worksheet>;
using RangePtr = std::shared_ptr<Range>;
using FontPtr = std::shared_ptr<Font>;
using LinksPtr = std::shared_ptr<Hyperlinks>;
using LinkPtr = std::shared_ptr<Hyperlink>;
using WindowPtr = std::shared_ptr<Window>;
using WindowsPtr = std::shared_ptr<Windows>;

// Receives the application's events (the program's event receiver derives
// from it and attaches itself with Application::Advise). Cancel starts false.
class AppEvents {
public:
    virtual ~AppEvents() = default;
    // Before a double-click in a cell starts editing it; Cancel stops the edit.
    virtual void SheetBeforeDoubleClick(SheetPtr Sh, RangePtr Target, bool &Cancel);
    // Before a workbook closes (also when the application quits); Cancel keeps it open.
    virtual void WorkbookBeforeClose(BookPtr Wb, bool &Cancel);
};

// Creates the application by its program name ("excel.application", any case).
// Raises 429 for another name or when VANTRELL_NO_SPREADSHEET is set.
AppPtr CreateApplication(const QString &progId = QStringLiteral("excel.application"));
// Creates a new worksheet document by its program name ("Excel.Sheet"): a
// workbook of one sheet in an application of its own, not visible. Raises 429
// like CreateApplication.
BookPtr CreateSheetDocument(const QString &progId = QStringLiteral("Excel.Sheet"));

class Application : public std::enable_shared_from_this<Application> {
public:
    ~Application();
    QString Version() const;
    bool Ready() const;
    bool Visible() const;
    void setVisible(bool on);
    int WindowState() const;
    void setWindowState(int state);                 // xlNormal, xlMinimized, xlMaximized; else 1004
    QString Caption() const;
    void setCaption(const QString &caption);
    int Calculation() const;
    void setCalculation(int mode);
    int MaxIterations() const;
    void setMaxIterations(int n);                   // 1 to 32767, else 1004
    double MaxChange() const;
    void setMaxChange(double change);
    int SheetsInNewWorkbook() const;
    void setSheetsInNewWorkbook(int n);             // 1 to 255, else 1004

    BooksPtr Workbooks();
    BookPtr Workbooks(int index);            // 9 when out of range
    BookPtr Workbooks(const QString &name);  // 9 when no workbook has that name
    BookPtr ActiveWorkbook();     // 91 when no workbook is open
    SheetPtr ActiveSheet();       // 91 when no workbook is open
    WindowPtr ActiveWindow();         // 91 when no workbook is open
    RangePtr Selection();             // the selected cells of the active sheet; 91 when none
    WindowsPtr Windows();

    // The file dialogs of the application, through the answering seam: the
    // chosen path, or the truth value False when the user cancels.
    // fileFilter is in the application's form "Description (*.xls), *.xls".
    Variant GetOpenFilename(const QString &fileFilter = {}, const QString &title = {});
    Variant GetSaveAsFilename(const QString &initialFilename = {}, const QString &fileFilter = {},
                              const QString &title = {});

    // Closes every workbook (each raises WorkbookBeforeClose and asks to save
    // unsaved changes); a Cancel anywhere abandons the quit and returns false.
    // After a quit the application is gone: every further call raises 462.
    bool Quit();

    void Advise(AppEvents *sink);
    void Unadvise(AppEvents *sink);

    // Our own: the window that shows the active workbook (created when the
    // application first becomes visible; null before, and without a GUI).
    QWidget *window() const;

    AppState &state() { return *d_; }

private:
    friend AppPtr CreateApplication(const QString &);
    friend AppPtr createApplicationForFiles();
    Application();
    std::unique_ptr<AppState> d_;
};

class Workbooks : public std::enable_shared_from_this<Workbooks> {
public:
    explicit Workbooks(AppPtr app) : app_(std::move(app)) {}
    int Count() const;
    BookPtr Item(int index);
    BookPtr Item(const QString &name);
    // A new workbook of SheetsInNewWorkbook sheets, named "Book<n>"; it becomes active.
    BookPtr Add();
    // Opens an .xlsx file (whatever its extension); 1004 when it is missing or
    // not a readable workbook, or when another open workbook has the same name.
    // The same file already open is activated and returned.
    BookPtr Open(const QString &filename, bool readOnly = false);
    // Closes every workbook as Workbook::Close() does; false when one refused.
    bool Close();

private:
    AppPtr app_;
};

class Workbook : public std::enable_shared_from_this<Workbook> {
public:
    Workbook(std::weak_ptr<vt::xl::Application> app, std::shared_ptr<BookData> data) : app_(std::move(app)), d_(std::move(data)) {}
    AppPtr Application() const;
    QString Name() const;           // file name with extension, or "Book<n>" before the first save
    QString FullName() const;
    QString Path() const;           // folder, empty before the first save
    bool ReadOnly() const;
    bool Saved() const;
    void setSaved(bool saved);
    void Activate();
    SheetsPtr Worksheets();
    SheetsPtr Sheets() { return Worksheets(); }
    SheetPtr Worksheets(int index);           // 9 when out of range
    SheetPtr Worksheets(const QString &name); // 9 when missing (name in any case)
    SheetPtr Sheets(int index) { return Worksheets(index); }
    SheetPtr Sheets(const QString &name) { return Worksheets(name); }
    SheetPtr ActiveSheet();
    WindowPtr Windows(int index);                 // the workbook's one window, index 1

    // Writes the workbook as .xlsx content under that name (a bare name lands
    // in the current folder); 1004 when the file cannot be written, in which
    // case an existing file of that name is left as it was. The workbook takes
    // the new name.
    void SaveAs(const QString &filename);
    void Save();                    // under its name; a new workbook goes to the current folder
    // Closes the workbook. WorkbookBeforeClose comes first (Cancel keeps it
    // open and Close returns false). Without an argument an unsaved workbook
    // gets the save question (Yes, No, Cancel); true saves first, false drops
    // the changes.
    bool Close();
    bool Close(bool saveChanges);
    bool isClosed() const;

    // Workbook options the export sets; they are kept and have no further effect.
    bool UpdateRemoteReferences() const;
    void setUpdateRemoteReferences(bool on);
    bool PrecisionAsDisplayed() const;
    void setPrecisionAsDisplayed(bool on);
    bool SaveLinkValues() const;
    void setSaveLinkValues(bool on);

    BookData &data() const;         // raises 91 when closed

private:
    bool closeWith(int mode);       // 0 ask, 1 save, 2 discard
    std::weak_ptr<vt::xl::Application> app_;
    std::shared_ptr<BookData> d_;
};

class Sheets : public std::enable_shared_from_this<Sheets> {
public:
    explicit Sheets(BookPtr book) : book_(std::move(book)) {}
    int Count() const;
    SheetPtr Item(int index);
    SheetPtr Item(const QString &name);
    // Adds count new sheets ("Sheet<n>") before `before`, after `after`, or
    // before the active sheet when both are null; the first new sheet becomes
    // active and is returned.
    SheetPtr Add(SheetPtr before = {}, SheetPtr after = {},
                                   int count = 1);

private:
    BookPtr book_;
};

// Our own: one cell for Worksheet::writeCells, its entry and the formats it
// sets; what is left unset keeps the cell's own.
struct CellWrite {
    int column = 0;
    std::optional<Variant> value;            // entered as Range::setValue enters it
    QString formula;                         // then, when not empty, as Range::setFormula
    std::optional<int> underline;            // as Font::setUnderline
    std::optional<int> alignment;            // as Range::setHorizontalAlignment
    std::optional<int> colorIndex;           // as Font::setColorIndex
    std::optional<double> size;              // as Font::setSize
    std::optional<bool> bold;                // as Font::setBold
    std::optional<QString> numberFormat;     // as Range::setNumberFormat
};

class Worksheet : public std::enable_shared_from_this<Worksheet> {
public:
    Worksheet(BookPtr book, std::shared_ptr<SheetData> data) : book_(std::move(book)), d_(std::move(data)) {}
    BookPtr Parent() const { return book_; }
    AppPtr Application() const { return book_->Application(); }
    QString Name() const;
    // 1 to 31 characters, none of : \ / ? * [ ], not beginning or ending with
    // an apostrophe, and no other sheet of the workbook so named in any case;
    // otherwise 1004.
    void setName(const QString &name);
    int Index() const;
    int Visible() const;            // xlSheetVisible, xlSheetHidden, xlSheetVeryHidden
    void setVisible(int state);     // 1004 for another value or for the last visible sheet
    void setVisible(bool on) { setVisible(on ? int(xlSheetVisible) : int(xlSheetHidden)); }
    void Activate();                // 1004 for a hidden sheet
    void Select() { Activate(); }
    // Checks the spelling of the sheet's texts with the installed dictionary,
    // asking through the spelling dialog about each unknown word (see
    // platform/spelling.h); Cancel stops and keeps the changes made. 1004 when
    // no dictionary is installed.
    void CheckSpelling();

    // Addresses: "A5", "A1:C3", "$D$6", "A:V", "F:F", "3:3", "5:9".
    RangePtr Range(const QString &address);
    RangePtr Range(const RangePtr &cell1, const RangePtr &cell2);
    RangePtr Cells(int row, int column);
    RangePtr Cells();                          // the whole sheet
    RangePtr Rows(int row);
    RangePtr Rows(const QString &rows);        // "5:5", "3:4"
    RangePtr Columns(int column);
    RangePtr Columns(const QString &columns);  // "F", "A:V"

    // Our own, for code that writes many cells (the export's rows): the
    // cells of one row, in order, each left as its entry and format setters
    // would leave it, with no range object per cell and the workbook marked
    // changed once. What the setters would refuse is checked first (91 for a
    // closed workbook, 1004 for a cell off the grid or a format out of
    // range), so that such a call changes nothing; an entry that does not
    // parse raises 1004 with the cells before it written.
    void writeCells(int row, const CellWrite *cells, size_t count);
    // Our own: Cells(row, column)->Value() without a range object, with its errors.
    Variant cellValue(int row, int column) const;

    SheetData &data() const;        // raises 91 when the workbook is closed

private:
    BookPtr book_;
    std::shared_ptr<SheetData> d_;
};

// A rectangle of cells on one sheet. Reading a property of a range of several
// cells gives the value of its top-left cell; writing sets every cell (for
// formulas the relative references move along, as filling does).
class Range : public std::enable_shared_from_this<Range> {
public:
    Range(SheetPtr sheet, int row1, int col1, int row2, int col2)
        : sheet_(std::move(sheet)), r1_(row1), c1_(col1), r2_(row2), c2_(col2) {}
    SheetPtr Worksheet() const { return sheet_; }
    SheetPtr Parent() const { return sheet_; }
    int Row() const { return r1_; }
    int Column() const { return c1_; }
    int lastRow() const { return r2_; }
    int lastColumn() const { return c2_; }
    long long Count() const;
    QString Address() const;                    // "$A$5", "$A:$V", "$3:$3", "$A$1:$C$3"
    RangePtr Cells(int row, int column);   // relative to the range's top-left

    Variant Value() const;
    // A text beginning with "=" is a formula (1004 when it does not parse);
    // any other value is stored as it is.
    void setValue(const Variant &v);
    // The formula text, or for a constant its text as entered ("" when empty).
    QString Formula() const;
    // A text beginning with "=" becomes a formula; any other text is entered
    // as typed: a number text becomes a number, "" clears the cell.
    void setFormula(const QString &text);
    void ClearContents();

    QString NumberFormat() const;
    void setNumberFormat(const QString &format);
    // xlGeneral, xlLeft, xlCenter, xlRight; 2, 3, 4 are taken as left,
    // centre, right and read back as xlLeft, xlCenter, xlRight. Else 1004.
    int HorizontalAlignment() const;
    void setHorizontalAlignment(int alignment);
    FontPtr Font();
    LinksPtr Hyperlinks();
    LinkPtr Hyperlinks(int index);     // 9 when out of range

    // Copies values, formulas (relative references moved), formats and
    // hyperlinks onto the destination's top-left corner; whole rows carry
    // their heights and whole columns their widths along.
    void Copy(const RangePtr &destination);

    RangePtr EntireRow() const;
    RangePtr EntireColumn() const;
    // Hidden applies to whole rows or whole columns only (1004 otherwise);
    // reading gives true when every row (column) of the range is hidden.
    bool Hidden() const;
    void setHidden(bool hidden);
    double ColumnWidth() const;                 // in characters; 0 to 255, else 1004
    void setColumnWidth(double width);
    double RowHeight() const;                   // in points; 0 to 409, else 1004
    void setRowHeight(double height);

    // Select needs the range's sheet to be the active one (1004 otherwise);
    // Activate makes the range's top-left cell the active cell.
    void Select();
    void Activate();

    bool wholeRows() const;
    bool wholeColumns() const;

private:
    SheetPtr sheet_;
    int r1_, c1_, r2_, c2_;
};

class Font {
public:
    explicit Font(RangePtr range) : range_(std::move(range)) {}
    // 1 to 56 of the default palette, xlColorIndexAutomatic, xlColorIndexNone; else 1004.
    int ColorIndex() const;
    void setColorIndex(int index);
    double Size() const;
    void setSize(double points);                // 1 to 409, else 1004
    bool Bold() const;
    void setBold(bool bold);
    // xlUnderlineStyle... values; 0 (False) reads back as None, 1 and -1 (True) as Single. Else 1004.
    int Underline() const;
    void setUnderline(int style);

private:
    RangePtr range_;
};

class Hyperlinks {
public:
    explicit Hyperlinks(RangePtr range) : range_(std::move(range)) {}
    int Count() const;
    LinkPtr Item(int index);
    // Links the anchor's cells to the address; the anchor's text becomes the
    // text to display when given.
    LinkPtr Add(const RangePtr &anchor, const QString &address,
                                   const QString &textToDisplay = {});

private:
    RangePtr range_;
};

class Hyperlink {
public:
    Hyperlink(SheetPtr sheet, int row, int col) : sheet_(std::move(sheet)), row_(row), col_(col) {}
    QString Address() const;
    void setAddress(const QString &address);
    RangePtr Range() const;

private:
    SheetPtr sheet_;
    int row_, col_;
};

// A workbook's window: zoom and frozen panes of its active sheet.
class Window {
public:
    explicit Window(BookPtr book) : book_(std::move(book)) {}
    int Zoom() const;
    void setZoom(int percent);                  // 10 to 400, else 1004
    bool FreezePanes() const;
    // True freezes the rows above and the columns left of the selection's
    // top-left cell (a whole-row selection freezes rows only, a whole-column
    // selection columns only); false unfreezes.
    void setFreezePanes(bool on);
    int SplitRow() const;                       // rows frozen at the top
    int SplitColumn() const;                    // columns frozen at the left
    RangePtr ActiveCell() const;
    BookPtr workbook() const { return book_; }

private:
    BookPtr book_;
};

class Windows {
public:
    explicit Windows(AppPtr app) : app_(std::move(app)) {}
    int Count() const;
    WindowPtr Item(int index);
    // Tiled, cascade, horizontal or vertical; another style raises 1004.
    void Arrange(int arrangeStyle = xlArrangeStyleTiled);

private:
    AppPtr app_;
};

// --- our own helpers, used by the file and window layers --------------------

// "A" -> 1, "V" -> 22, "XFD" -> 16384; 0 for anything else.
int columnNumber(const QString &letters);
QString columnLetters(int column);
inline constexpr int MaxRows = 1048576;
inline constexpr int MaxColumns = 16384;
// The RGB colour (0xRRGGBB) of a palette index 1 to 56; -1 for any other.
int paletteColor(int colorIndex);
// The palette index of an RGB colour, or 0 when it is not in the palette.
int paletteIndex(int rgb);
// A column width in characters as pixels of the default font (a narrow
// column of 12 pixels a character, a wider one 7 pixels each and 5 of margin).
double columnPixels(double width);
// A width of whole pixels back in characters, with two decimals.
double widthOfPixels(int pixels);
// A column width as the spreadsheet keeps it: whole pixels of the default
// font, read back in characters with two decimals.
double snapColumnWidth(double width);
// A value shown with a number format ("General", "0", "0.00", "#,##0.00", "0%", "@" ...).
QString formatValue(const Variant &v, const QString &numberFormat);

} // namespace vt::xl
