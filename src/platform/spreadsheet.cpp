// The spreadsheet stand-in's object model: application, workbooks, sheets,
// ranges, fonts, hyperlinks and windows over the data of spreadsheet_data.h.
#include "platform/spreadsheet.h"

#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/spelling.h"
#include "platform/spreadsheet_data.h"
#include "platform/spreadsheet_window.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QRegularExpression>
#include <cmath>

namespace vt::xl {

// --- values -------------------------------------------------------------------

QString errorText(CellError e)
{
    switch (e) {
    case CellError::Null: return QStringLiteral("#NULL!");
    case CellError::Div0: return QStringLiteral("#DIV/0!");
    case CellError::Value: return QStringLiteral("#VALUE!");
    case CellError::Ref: return QStringLiteral("#REF!");
    case CellError::Name: return QStringLiteral("#NAME?");
    case CellError::Num: return QStringLiteral("#NUM!");
    case CellError::NA: return QStringLiteral("#N/A");
    }
    return QStringLiteral("#VALUE!");
}

bool errorFromText(const QString &text, CellError *e)
{
    for (CellError c : {CellError::Null, CellError::Div0, CellError::Value, CellError::Ref, CellError::Name,
                        CellError::Num, CellError::NA}) {
        if (text.compare(errorText(c), Qt::CaseInsensitive) == 0) {
            *e = c;
            return true;
        }
    }
    return false;
}

static QString shortNumber(double v, int digits)
{
    if (v == 0)
        return QStringLiteral("0");
    QString s = QString::number(v, 'g', digits);
    s.replace(QLatin1String("e+"), QLatin1String("E+")).replace(QLatin1String("e-"), QLatin1String("E-"));
    return s;
}

double Variant::toDouble() const
{
    switch (type_) {
    case Type::Empty: return 0;
    case Type::Number: return num_;
    case Type::Boolean: return num_ != 0 ? -1 : 0;
    case Type::Text: {
        bool ok = false;
        const double v = text_.trimmed().toDouble(&ok);
        if (ok && std::isfinite(v))
            return v;
        break;
    }
    case Type::Error: break;
    }
    vt::raise(13);
}

QString Variant::toString() const
{
    switch (type_) {
    case Type::Empty: return {};
    case Type::Number: return shortNumber(num_, 15);
    case Type::Boolean: return num_ != 0 ? QStringLiteral("True") : QStringLiteral("False");
    case Type::Text: return text_;
    case Type::Error: return QStringLiteral("Error %1").arg(int(num_));
    }
    return {};
}

QString Variant::displayText() const
{
    switch (type_) {
    case Type::Empty: return {};
    case Type::Number: {
        const double a = std::fabs(num_);
        if (a != 0 && (a >= 1e11 || a < 1e-9)) {
            QString s = QString::number(num_, 'E', 5);
            return s;
        }
        return shortNumber(num_, 10);
    }
    case Type::Boolean: return num_ != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case Type::Text: return text_;
    case Type::Error: return errorText(error());
    }
    return {};
}

bool Variant::operator==(const Variant &o) const
{
    if (type_ != o.type_)
        return false;
    if (type_ == Type::Text)
        return text_ == o.text_;
    return num_ == o.num_;
}

QString formatValue(const Variant &v, const QString &numberFormat)
{
    if (!v.isNumber())
        return v.displayText();
    QString fmt = numberFormat.section(u';', 0, 0);
    if (fmt.isEmpty() || fmt.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0 || fmt == QLatin1String("@"))
        return v.displayText();
    fmt.remove(QRegularExpression(QStringLiteral("\"[^\"]*\"")));
    const bool percent = fmt.contains(u'%');
    const bool thousands = fmt.contains(u',');
    int decimals = 0;
    const qsizetype dot = fmt.indexOf(u'.');
    if (dot >= 0)
        for (qsizetype i = dot + 1; i < fmt.size() && (fmt[i] == u'0' || fmt[i] == u'#'); ++i)
            ++decimals;
    double x = v.number() * (percent ? 100 : 1);
    QString s = QString::number(std::fabs(x), 'f', decimals);
    if (thousands) {
        qsizetype intEnd = s.indexOf(u'.');
        if (intEnd < 0)
            intEnd = s.size();
        for (qsizetype i = intEnd - 3; i > 0; i -= 3)
            s.insert(i, u',');
    }
    if (x < 0 && s.contains(QRegularExpression(QStringLiteral("[1-9]"))))
        s.prepend(u'-');
    if (percent)
        s += u'%';
    return s;
}

// --- palette and sizes -----------------------------------------------------------

static const int kPalette[56] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000,
    0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, 0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF,
    0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, 0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000,
    0x008080, 0x0000FF, 0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, 0x003366, 0x339966,
    0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
};

int paletteColor(int colorIndex)
{
    return (colorIndex >= 1 && colorIndex <= 56) ? kPalette[colorIndex - 1] : -1;
}

int paletteIndex(int rgb)
{
    for (int i = 0; i < 56; ++i)
        if (kPalette[i] == rgb)
            return i + 1;
    return 0;
}

double columnPixels(double width) { return width < 1 ? width * 12 : width * 7 + 5; }

double widthOfPixels(int pixels)
{
    const double back = pixels < 12 ? pixels / 12.0 : (pixels - 5) / 7.0;
    return std::round(back * 100) / 100;
}

double snapColumnWidth(double width)
{
    if (width <= 0)
        return 0;
    return widthOfPixels(int(columnPixels(width) + 0.5));
}

// --- data helpers --------------------------------------------------------------

static quint64 g_generation = 1;
quint64 generation() { return g_generation; }
void bumpGeneration() { ++g_generation; }

Variant SheetData::value(int row, int col) const
{
    const CellData *c = find(row, col);
    if (!c)
        return Variant();
    return evaluateCell(*c, *this);
}

int SheetData::usedRows() const
{
    for (auto it = cells.rbegin(); it != cells.rend(); ++it)
        if (!it->second.isBlank())
            return keyRow(it->first);
    return 0;
}

int SheetData::usedColumns() const
{
    int m = 0;
    for (const auto &[key, cell] : cells)
        if (!cell.isBlank())
            m = std::max(m, keyCol(key));
    return m;
}

SheetData *BookData::sheet(const QString &n) const
{
    // Formulas spell the sheet's name as it is: an exact match is found first.
    for (const auto &s : sheets)
        if (s->name == n)
            return s.get();
    for (const auto &s : sheets)
        if (s->name.compare(n, Qt::CaseInsensitive) == 0)
            return s.get();
    return nullptr;
}

void BookData::changed()
{
    saved = false;
    bumpGeneration();
    if (app && app->refresh)
        app->refresh();
}

static void refreshView(AppState &st)
{
    if (st.refresh)
        st.refresh();
}

// --- questions and events --------------------------------------------------------

QString ask(const Question &q)
{
    answers::Question aq;
    aq.kind = q.kind;
    aq.title = q.title;
    aq.text = q.text;
    aq.buttons = q.buttons;
    aq.defaultAnswer = q.defaultAnswer;
    return answers::ask(aq, [&]() -> QString {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
            return q.defaultAnswer;
        // The application's own filter form "Desc (*.x), *.x" becomes Qt's "Desc (*.x)".
        QString filter = q.filter.section(u',', 0, 0).trimmed();
        if (q.kind == QLatin1String("open"))
            return QFileDialog::getOpenFileName(QApplication::activeWindow(), q.title, q.initial, filter);
        if (q.kind == QLatin1String("save"))
            return QFileDialog::getSaveFileName(QApplication::activeWindow(), q.title, q.initial, filter);
        bool ok = false;
        const QString v = QInputDialog::getMultiLineText(QApplication::activeWindow(), q.title, q.text,
                                                         q.defaultAnswer, &ok);
        return ok ? v : q.defaultAnswer;
    });
}

void AppEvents::SheetBeforeDoubleClick(SheetPtr, RangePtr, bool &) {}
void AppEvents::WorkbookBeforeClose(BookPtr, bool &) {}

bool raiseBeforeClose(AppState &st, const BookPtr &book)
{
    bool cancel = false;
    const std::vector<AppEvents *> sinks = st.sinks;
    for (AppEvents *s : sinks)
        vt::guarded(QStringLiteral("WorkbookBeforeClose"), [&] { s->WorkbookBeforeClose(book, cancel); });
    return cancel;
}

bool raiseBeforeDoubleClick(AppState &st, const SheetPtr &sheet, int row, int col)
{
    bool cancel = false;
    const std::vector<AppEvents *> sinks = st.sinks;
    auto target = std::make_shared<Range>(sheet, row, col, row, col);
    for (AppEvents *s : sinks)
        vt::guarded(QStringLiteral("SheetBeforeDoubleClick"), [&] { s->SheetBeforeDoubleClick(sheet, target, cancel); });
    return cancel;
}

// --- creation ----------------------------------------------------------------------

static void refuseCreation(const QString &progId, const QString &expected)
{
    if (qEnvironmentVariableIntValue("VANTRELL_NO_SPREADSHEET") != 0
        || progId.trimmed().compare(expected, Qt::CaseInsensitive) != 0)
        vt::raise(429);
}

AppPtr CreateApplication(const QString &progId)
{
    refuseCreation(progId, QStringLiteral("excel.application"));
    AppPtr app = createApplicationForFiles();
    const QString v = qEnvironmentVariable("VANTRELL_SPREADSHEET_VERSION");
    if (!v.isEmpty())
        app->d_->version = v;
    app->d_->ready = qEnvironmentVariableIntValue("VANTRELL_SPREADSHEET_NOT_READY") == 0;
    return app;
}

AppPtr createApplicationForFiles()
{
    AppPtr app(new Application());
    app->d_->self = app;
    return app;
}

BookPtr CreateSheetDocument(const QString &progId)
{
    refuseCreation(progId, QStringLiteral("Excel.Sheet"));
    AppPtr app = CreateApplication();
    app->setSheetsInNewWorkbook(1);
    BookPtr wb = app->Workbooks()->Add();
    app->setSheetsInNewWorkbook(3);
    // The document keeps its application alive for as long as it is held.
    struct Holder {
        AppPtr app;
        BookPtr book;
    };
    auto holder = std::make_shared<Holder>(Holder{app, wb});
    return BookPtr(holder, holder->book.get());
}

// --- Application ----------------------------------------------------------------------

Application::Application() : d_(std::make_unique<AppState>()) {}

Application::~Application()
{
    delete d_->window;
}

static AppState &live(const Application *a)
{
    AppState &st = const_cast<Application *>(a)->state();
    if (st.gone)
        vt::raise(462, QStringLiteral("The remote server machine does not exist or is unavailable"));
    return st;
}

QString Application::Version() const { return live(this).version; }
bool Application::Ready() const { return live(this).ready; }
bool Application::Visible() const { return live(this).visible; }

void Application::setVisible(bool on)
{
    AppState &st = live(this);
    st.visible = on;
    if (on && !st.window && qobject_cast<QApplication *>(QCoreApplication::instance()))
        st.window = SpreadsheetWindow::create(shared_from_this());
    if (st.window)
        static_cast<SpreadsheetWindow *>(st.window)->applyVisibility();
}

int Application::WindowState() const { return live(this).windowState; }

void Application::setWindowState(int state)
{
    AppState &st = live(this);
    if (state != xlNormal && state != xlMinimized && state != xlMaximized)
        vt::raise(1004, QStringLiteral("Unable to set the WindowState property of the Application class"));
    st.windowState = state;
    if (st.window)
        static_cast<SpreadsheetWindow *>(st.window)->applyVisibility();
}

QString Application::Caption() const { return live(this).caption; }

void Application::setCaption(const QString &caption)
{
    live(this).caption = caption;
    refreshView(state());
}

int Application::Calculation() const { return live(this).calculation; }

void Application::setCalculation(int mode)
{
    if (mode != xlCalculationAutomatic && mode != xlCalculationManual && mode != xlCalculationSemiautomatic)
        vt::raise(1004, QStringLiteral("Unable to set the Calculation property of the Application class"));
    live(this).calculation = mode;
}

int Application::MaxIterations() const { return live(this).maxIterations; }

void Application::setMaxIterations(int n)
{
    if (n < 1 || n > 32767)
        vt::raise(1004, QStringLiteral("Unable to set the MaxIterations property of the Application class"));
    live(this).maxIterations = n;
}

double Application::MaxChange() const { return live(this).maxChange; }
void Application::setMaxChange(double change) { live(this).maxChange = change; }
int Application::SheetsInNewWorkbook() const { return live(this).sheetsInNewWorkbook; }

void Application::setSheetsInNewWorkbook(int n)
{
    if (n < 1 || n > 255)
        vt::raise(1004, QStringLiteral("Unable to set the SheetsInNewWorkbook property of the Application class"));
    live(this).sheetsInNewWorkbook = n;
}

BooksPtr Application::Workbooks()
{
    live(this);
    return std::make_shared<class Workbooks>(shared_from_this());
}

BookPtr Application::Workbooks(int index) { return Workbooks()->Item(index); }
BookPtr Application::Workbooks(const QString &name) { return Workbooks()->Item(name); }

BookPtr Application::ActiveWorkbook()
{
    AppState &st = live(this);
    if (!st.activeBook)
        vt::raise(91);
    return st.activeBook;
}

SheetPtr Application::ActiveSheet() { return ActiveWorkbook()->ActiveSheet(); }

WindowPtr Application::ActiveWindow() { return std::make_shared<Window>(ActiveWorkbook()); }

RangePtr Application::Selection()
{
    SheetPtr sheet = ActiveSheet();
    const SheetData &s = sheet->data();
    return std::make_shared<Range>(sheet, s.selR1, s.selC1, s.selR2, s.selC2);
}

WindowsPtr Application::Windows()
{
    live(this);
    return std::make_shared<class Windows>(shared_from_this());
}

// A file dialog of the application: the path chosen, or False when cancelled
// (also when a script leaves it unanswered).
static Variant askFileName(const QString &kind, const QString &title, const QString &initial, const QString &filter)
{
    Question q;
    q.kind = kind;
    q.title = title;
    q.text = filter.isEmpty() ? initial : filter;
    q.filter = filter;
    q.initial = initial;
    const QString a = ask(q);
    if (a.isEmpty() || a == QLatin1String("Cancel"))
        return Variant(false);
    return Variant(a);
}

Variant Application::GetOpenFilename(const QString &fileFilter, const QString &title)
{
    live(this);
    return askFileName(QStringLiteral("open"), title.isEmpty() ? QStringLiteral("Open") : title, QString(), fileFilter);
}

Variant Application::GetSaveAsFilename(const QString &initialFilename, const QString &fileFilter, const QString &title)
{
    live(this);
    return askFileName(QStringLiteral("save"), title.isEmpty() ? QStringLiteral("Save As") : title, initialFilename,
                       fileFilter);
}

bool Application::Quit()
{
    AppState &st = live(this);
    const std::vector<BookPtr> books = st.books;
    for (const BookPtr &b : books)
        if (!b->isClosed() && !b->Close())
            return false;
    st.gone = true;
    st.visible = false;
    if (st.window)
        static_cast<SpreadsheetWindow *>(st.window)->applyVisibility();
    return true;
}

void Application::Advise(AppEvents *sink)
{
    AppState &st = live(this);
    if (std::find(st.sinks.begin(), st.sinks.end(), sink) == st.sinks.end())
        st.sinks.push_back(sink);
}

void Application::Unadvise(AppEvents *sink)
{
    auto &s = d_->sinks;
    s.erase(std::remove(s.begin(), s.end(), sink), s.end());
}

QWidget *Application::window() const { return d_->window; }

// --- Workbooks -----------------------------------------------------------------------

int Workbooks::Count() const { return int(live(app_.get()).books.size()); }

BookPtr Workbooks::Item(int index)
{
    AppState &st = live(app_.get());
    if (index < 1 || index > int(st.books.size()))
        vt::raise(9);
    return st.books[size_t(index - 1)];
}

BookPtr Workbooks::Item(const QString &name)
{
    AppState &st = live(app_.get());
    for (const BookPtr &b : st.books)
        if (b->Name().compare(name, Qt::CaseInsensitive) == 0)
            return b;
    vt::raise(9);
}

static std::shared_ptr<SheetData> newSheet(BookData *book, const QString &name)
{
    auto s = std::make_shared<SheetData>();
    s->name = name;
    s->book = book;
    return s;
}

static void adopt(AppState &st, const BookPtr &wb)
{
    st.books.push_back(wb);
    st.activeBook = wb;
    bumpGeneration();
    refreshView(st);
}

BookPtr Workbooks::Add()
{
    AppState &st = live(app_.get());
    auto d = std::make_shared<BookData>();
    d->app = &st;
    d->name = QStringLiteral("Book%1").arg(++st.bookCounter);
    for (int i = 1; i <= st.sheetsInNewWorkbook; ++i)
        d->sheets.push_back(newSheet(d.get(), QStringLiteral("Sheet%1").arg(i)));
    auto wb = std::make_shared<Workbook>(app_, d);
    adopt(st, wb);
    return wb;
}

static QString absolutePath(const QString &filename)
{
    return QDir::cleanPath(QDir::current().absoluteFilePath(filename));
}

BookPtr Workbooks::Open(const QString &filename, bool readOnly)
{
    AppState &st = live(app_.get());
    const QString path = absolutePath(filename);
    const QString name = QFileInfo(path).fileName();
    for (const BookPtr &b : st.books) {
        if (b->data().fullPath == path) {
            b->Activate();
            return b;
        }
        if (b->Name().compare(name, Qt::CaseInsensitive) == 0)
            vt::raise(1004, QStringLiteral("A document with the name '%1' is already open.").arg(name));
    }
    auto d = std::make_shared<BookData>();
    QString error;
    if (filename.trimmed().isEmpty() || !readXlsx(path, d.get(), &error))
        vt::raise(1004, error.isEmpty() ? QStringLiteral("'%1' could not be found.").arg(filename) : error);
    d->app = &st;
    d->name = name;
    d->fullPath = path;
    d->readOnly = readOnly;
    d->saved = true;
    for (auto &s : d->sheets)
        s->book = d.get();
    auto wb = std::make_shared<Workbook>(app_, d);
    adopt(st, wb);
    return wb;
}

bool Workbooks::Close()
{
    AppState &st = live(app_.get());
    const std::vector<BookPtr> books = st.books;
    bool all = true;
    for (const BookPtr &b : books)
        if (!b->isClosed() && !b->Close())
            all = false;
    return all;
}

// --- Workbook ----------------------------------------------------------------------------

BookData &Workbook::data() const
{
    AppPtr a = app_.lock();
    if (!a || a->state().gone)
        vt::raise(462, QStringLiteral("The remote server machine does not exist or is unavailable"));
    if (d_->closed)
        vt::raise(91);
    return *d_;
}

AppPtr Workbook::Application() const
{
    data();
    return app_.lock();
}

QString Workbook::Name() const { return data().name; }
QString Workbook::FullName() const { const BookData &d = data(); return d.fullPath.isEmpty() ? d.name : d.fullPath; }
QString Workbook::Path() const { const BookData &d = data(); return d.fullPath.isEmpty() ? QString() : QFileInfo(d.fullPath).absolutePath(); }
bool Workbook::ReadOnly() const { return data().readOnly; }
bool Workbook::Saved() const { return data().saved; }
void Workbook::setSaved(bool saved) { data().saved = saved; refreshView(*data().app); }
bool Workbook::isClosed() const { return d_->closed; }
bool Workbook::UpdateRemoteReferences() const { return data().updateRemoteReferences; }
void Workbook::setUpdateRemoteReferences(bool on) { data().updateRemoteReferences = on; }
bool Workbook::PrecisionAsDisplayed() const { return data().precisionAsDisplayed; }
void Workbook::setPrecisionAsDisplayed(bool on) { data().precisionAsDisplayed = on; }
bool Workbook::SaveLinkValues() const { return data().saveLinkValues; }
void Workbook::setSaveLinkValues(bool on) { data().saveLinkValues = on; }

void Workbook::Activate()
{
    BookData &d = data();
    d.app->activeBook = shared_from_this();
    refreshView(*d.app);
}

SheetsPtr Workbook::Worksheets()
{
    data();
    return std::make_shared<class Sheets>(shared_from_this());
}

SheetPtr Workbook::Worksheets(int index) { return Worksheets()->Item(index); }
SheetPtr Workbook::Worksheets(const QString &name) { return Worksheets()->Item(name); }

SheetPtr Workbook::ActiveSheet()
{
    BookData &d = data();
    if (d.sheets.empty())
        vt::raise(91);
    return Worksheets()->Item(d.active + 1);
}

WindowPtr Workbook::Windows(int index)
{
    data();
    if (index != 1)
        vt::raise(9);
    return std::make_shared<Window>(shared_from_this());
}

void Workbook::SaveAs(const QString &filename)
{
    BookData &d = data();
    const QString path = absolutePath(filename);
    const QString name = QFileInfo(path).fileName();
    if (filename.trimmed().isEmpty() || name.isEmpty())
        vt::raise(1004, QStringLiteral("Method 'SaveAs' of object '_Workbook' failed"));
    for (const BookPtr &b : d.app->books)
        if (b.get() != this && b->Name().compare(name, Qt::CaseInsensitive) == 0)
            vt::raise(1004, QStringLiteral("You cannot save this workbook with the same name as another open workbook."));
    QString error;
    if (!writeXlsx(d, path, &error))
        vt::raise(1004, error);
    d.fullPath = path;
    d.name = name;
    d.readOnly = false;
    d.saved = true;
    refreshView(*d.app);
}

void Workbook::Save()
{
    BookData &d = data();
    if (d.readOnly)
        vt::raise(1004, QStringLiteral("'%1' is read-only.").arg(d.name));
    SaveAs(d.fullPath.isEmpty() ? d.name + QStringLiteral(".xls") : d.fullPath);
}

bool Workbook::Close() { return closeWith(0); }
bool Workbook::Close(bool saveChanges) { return closeWith(saveChanges ? 1 : 2); }

// A file name is asked for a workbook that has none (or is read-only), and a
// failure is shown in a box, so that the caller keeps the workbook open.
bool saveBook(const BookPtr &wb, bool forceAsk)
{
    BookData &d = wb->data();
    QString target = d.fullPath;
    if (forceAsk || target.isEmpty() || d.readOnly) {
        const Variant v = wb->Application()->GetSaveAsFilename(d.fullPath.isEmpty() ? d.name + QStringLiteral(".xls") : d.fullPath);
        if (!v.isText())
            return false;
        target = v.toString();
    }
    try {
        wb->SaveAs(target);
        return true;
    } catch (const RtError &e) {
        vt::MsgBox(e.description, vbOKOnly | vbExclamation, d.app->caption);
        return false;
    }
}

bool Workbook::closeWith(int mode)
{
    BookData &d = data();
    AppState &st = *d.app;
    BookPtr self = shared_from_this();
    if (raiseBeforeClose(st, self))
        return false;
    if (d_->closed)
        return true;                     // a receiver closed it meanwhile
    if (mode == 0 && !d.saved) {
        const int a = vt::MsgBox(QStringLiteral("Do you want to save the changes you made to '%1'?").arg(d.name),
                                 vbYesNoCancel | vbExclamation, st.caption);
        if (a == vbCancel)
            return false;
        if (a == vbYes && !saveBook(self, false))
            return false;
    } else if (mode == 1) {
        if (d.fullPath.isEmpty() || d.readOnly) {
            if (!saveBook(self, false))
                vt::raise(1004, QStringLiteral("Method 'Close' of object '_Workbook' failed"));
        } else {
            Save();
        }
    }
    d.closed = true;
    auto &books = st.books;
    books.erase(std::remove(books.begin(), books.end(), self), books.end());
    if (st.activeBook == self)
        st.activeBook = books.empty() ? nullptr : books.back();
    bumpGeneration();
    refreshView(st);
    return true;
}

// --- Sheets ---------------------------------------------------------------------------------

static SheetPtr handleOf(const BookPtr &book, const std::shared_ptr<SheetData> &s)
{
    if (SheetPtr h = s->handle.lock())
        return h;
    auto h = std::make_shared<Worksheet>(book, s);
    s->handle = h;
    return h;
}

int Sheets::Count() const { return int(book_->data().sheets.size()); }

SheetPtr Sheets::Item(int index)
{
    BookData &d = book_->data();
    if (index < 1 || index > int(d.sheets.size()))
        vt::raise(9);
    return handleOf(book_, d.sheets[size_t(index - 1)]);
}

SheetPtr Sheets::Item(const QString &name)
{
    BookData &d = book_->data();
    for (const auto &s : d.sheets)
        if (s->name.compare(name, Qt::CaseInsensitive) == 0)
            return handleOf(book_, s);
    vt::raise(9);
}

SheetPtr Sheets::Add(SheetPtr before, SheetPtr after, int count)
{
    BookData &d = book_->data();
    if (count < 1 || count > 255 || (before && after))
        vt::raise(1004, QStringLiteral("Method 'Add' of object 'Sheets' failed"));
    int at = d.active;
    if (before) {
        if (before->Parent().get() != book_.get())
            vt::raise(1004, QStringLiteral("Method 'Add' of object 'Sheets' failed"));
        at = before->Index() - 1;
    } else if (after) {
        if (after->Parent().get() != book_.get())
            vt::raise(1004, QStringLiteral("Method 'Add' of object 'Sheets' failed"));
        at = after->Index();
    }
    int n = int(d.sheets.size());
    for (int i = 0; i < count; ++i) {
        QString name;
        do
            name = QStringLiteral("Sheet%1").arg(++n);
        while (d.sheet(name));
        d.sheets.insert(d.sheets.begin() + at + i, newSheet(&d, name));
    }
    d.active = at;
    d.changed();
    return Item(at + 1);
}

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
    for (auto &[key, cell] : s.cells) {
        if (cell.hasFormula() || !cell.value.isText() || cell.value.toString().trimmed().isEmpty())
            continue;
        QString text = cell.value.toString();
        const bool goOn = spelling::checkText(checker, text);
        if (text != cell.value.toString()) {
            cell.value = Variant(text);
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

void dropIfBlank(SheetData &s, int r, int c)
{
    auto it = s.cells.find(cellKey(r, c));
    if (it != s.cells.end() && it->second.isBlank())
        s.cells.erase(it);
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

// Puts an entry (a constant or a formula text) into every cell of the range.
static void enter(SheetData &s, int r1, int c1, int r2, int c2, const Variant &v)
{
    bool isFormula = false;
    Variant entry = v;
    if (v.isText())
        entry = parseEntry(v.toString(), &isFormula);
    std::shared_ptr<const FormulaExpr> expr;
    if (isFormula) {
        QString err;
        expr = parseFormula(v.toString(), &err);
        if (!expr)
            vt::raise(1004, err);
    }
    // Only a formula keeps its text; making the text of a number is costly.
    const QString text = isFormula ? v.toString() : QString();
    eachCell(s, r1, c1, r2, c2, [&](int r, int c, CellData &cell) {
        cell.clearContent();
        if (isFormula) {
            cell.formula = (r == r1 && c == c1) ? text : shiftFormula(text, r - r1, c - c1);
            cell.expr = (r == r1 && c == c1) ? expr : parseFormula(cell.formula);
        } else {
            cell.value = entry;
        }
        if (cell.isBlank())
            dropIfBlank(s, r, c);
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
    const CellData *c = s.find(r1_, c1_);
    return c ? c->entryText() : QString();
}

void Range::setFormula(const QString &text) { setValue(Variant(text)); }

void Range::ClearContents()
{
    SheetData &s = sheet_->data();
    eachCell(s, r1_, c1_, r2_, c2_, [&](int r, int c, CellData &cell) {
        cell.clearContent();
        dropIfBlank(s, r, c);
    });
    s.book->changed();
}

static const CellData &cellOrBlank(const SheetData &s, int r, int c)
{
    static const CellData blank;
    const CellData *p = s.find(r, c);
    return p ? *p : blank;
}

template <typename F>
static void restyle(const SheetPtr &sheet, int r1, int c1, int r2, int c2, F f)
{
    SheetData &s = sheet->data();
    eachCell(s, r1, c1, r2, c2, [&](int r, int c, CellData &cell) {
        f(cell.style);
        if (cell.isBlank())
            dropIfBlank(s, r, c);
    });
    s.book->changed();
}

QString Range::NumberFormat() const { return cellOrBlank(sheet_->data(), r1_, c1_).style.numberFormat; }

void Range::setNumberFormat(const QString &format)
{
    const QString f = format.isEmpty() ? QStringLiteral("General") : format;
    restyle(sheet_, r1_, c1_, r2_, c2_, [&](Style &st) { st.numberFormat = f; });
}

int Range::HorizontalAlignment() const { return cellOrBlank(sheet_->data(), r1_, c1_).style.align; }

void Range::setHorizontalAlignment(int alignment)
{
    switch (alignment) {
    case 2: alignment = xlLeft; break;
    case 3: alignment = xlCenter; break;
    case 4: alignment = xlRight; break;
    case xlGeneral: case xlLeft: case xlCenter: case xlRight:
    case xlFill: case xlCenterAcrossSelection: case xlJustify: case xlDistributed:
        break;
    default:
        vt::raise(1004, QStringLiteral("Unable to set the HorizontalAlignment property of the Range class"));
    }
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
    std::vector<std::pair<qint64, CellData>> taken;
    src.eachStored(r1_, c1_, r2_, c2_, [&](int r, int c, const CellData &cell) {
        CellData copy;
        copy.value = cell.value;
        copy.style = cell.style;
        copy.link = cell.link;
        if (cell.hasFormula()) {
            copy.formula = shiftFormula(cell.formula, dr, dc);
            copy.expr = parseFormula(copy.formula);
        }
        taken.emplace_back(cellKey(r + dr, c + dc), std::move(copy));
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
    for (auto it = dst.cells.lower_bound(cellKey(tr1, 1)); it != dst.cells.end() && keyRow(it->first) <= tr2;) {
        const int c = keyCol(it->first);
        if (c >= tc1 && c <= tc2)
            it = dst.cells.erase(it);
        else
            ++it;
    }
    for (auto &[key, cell] : taken)
        if (!cell.isBlank())
            dst.cells[key] = std::move(cell);
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
    return cellOrBlank(r->Worksheet()->data(), r->Row(), r->Column()).style;
}

template <typename F>
static void restyle(const RangePtr &r, F f)
{
    restyle(r->Worksheet(), r->Row(), r->Column(), r->lastRow(), r->lastColumn(), f);
}

int Font::ColorIndex() const { return styleOf(range_).colorIndex; }

void Font::setColorIndex(int index)
{
    if (index == xlColorIndexNone)
        index = xlColorIndexAutomatic;
    if (index != xlColorIndexAutomatic && (index < 1 || index > 56))
        vt::raise(1004, QStringLiteral("Unable to set the ColorIndex property of the Font class"));
    restyle(range_, [&](Style &st) { st.colorIndex = index; });
}

double Font::Size() const { return styleOf(range_).size; }

void Font::setSize(double points)
{
    if (!(points >= 1 && points <= 409))
        vt::raise(1004, QStringLiteral("Unable to set the Size property of the Font class"));
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
    switch (style) {
    case 0: style = xlUnderlineStyleNone; break;
    case 1: case -1: style = xlUnderlineStyleSingle; break;
    case xlUnderlineStyleNone: case xlUnderlineStyleSingle: case xlUnderlineStyleDouble:
    case xlUnderlineStyleSingleAccounting: case xlUnderlineStyleDoubleAccounting:
        break;
    default:
        vt::raise(1004, QStringLiteral("Unable to set the Underline property of the Font class"));
    }
    restyle(range_, [&](Style &st) { st.underline = style; });
}

// --- Hyperlinks ---------------------------------------------------------------------------------------

static std::vector<std::pair<int, int>> linkedCells(const RangePtr &r)
{
    std::vector<std::pair<int, int>> out;
    r->Worksheet()->data().eachStored(r->Row(), r->Column(), r->lastRow(), r->lastColumn(),
                                      [&](int row, int col, const CellData &cell) {
                                          if (!cell.link.isEmpty())
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
    CellData &cell = s.at(anchor->Row(), anchor->Column());
    cell.link = address;
    if (!textToDisplay.isEmpty() || (cell.value.isEmpty() && !cell.hasFormula())) {
        cell.clearContent();
        cell.value = Variant(textToDisplay.isEmpty() ? address : textToDisplay);
    }
    s.book->changed();
    return std::make_shared<Hyperlink>(anchor->Worksheet(), anchor->Row(), anchor->Column());
}

QString Hyperlink::Address() const
{
    const CellData *c = sheet_->data().find(row_, col_);
    if (!c || c->link.isEmpty())
        vt::raise(1004, QStringLiteral("Application-defined or object-defined error"));
    return c->link;
}

void Hyperlink::setAddress(const QString &address)
{
    SheetData &s = sheet_->data();
    CellData *c = s.cells.count(cellKey(row_, col_)) ? &s.at(row_, col_) : nullptr;
    if (!c || c->link.isEmpty() || address.isEmpty())
        vt::raise(1004, QStringLiteral("Unable to set the Address property of the Hyperlink class"));
    c->link = address;
    s.book->changed();
}

RangePtr Hyperlink::Range() const
{
    sheet_->data();
    return std::make_shared<class Range>(sheet_, row_, col_, row_, col_);
}

// --- Window, Windows ------------------------------------------------------------------------------------

static SheetData &activeSheetOf(const BookPtr &b)
{
    BookData &d = b->data();
    return *d.sheets[size_t(d.active)];
}

int Window::Zoom() const { return activeSheetOf(book_).zoom; }

void Window::setZoom(int percent)
{
    SheetData &s = activeSheetOf(book_);
    if (percent < 10 || percent > 400)
        vt::raise(1004, QStringLiteral("Unable to set the Zoom property of the Window class"));
    s.zoom = percent;
    s.book->changed();
}

bool Window::FreezePanes() const
{
    const SheetData &s = activeSheetOf(book_);
    return s.splitRow > 0 || s.splitCol > 0;
}

void Window::setFreezePanes(bool on)
{
    SheetData &s = activeSheetOf(book_);
    if (!on) {
        s.splitRow = s.splitCol = 0;
    } else if (s.selC1 == 1 && s.selC2 == MaxColumns && s.selR2 < MaxRows) {
        s.splitRow = s.selR1 - 1;
        s.splitCol = 0;
    } else if (s.selR1 == 1 && s.selR2 == MaxRows && s.selC2 < MaxColumns) {
        s.splitRow = 0;
        s.splitCol = s.selC1 - 1;
    } else {
        s.splitRow = s.activeRow - 1;
        s.splitCol = s.activeCol - 1;
    }
    s.book->changed();
}

int Window::SplitRow() const { return activeSheetOf(book_).splitRow; }
int Window::SplitColumn() const { return activeSheetOf(book_).splitCol; }

RangePtr Window::ActiveCell() const
{
    const SheetData &s = activeSheetOf(book_);
    SheetPtr sh = book_->ActiveSheet();
    return std::make_shared<Range>(sh, s.activeRow, s.activeCol, s.activeRow, s.activeCol);
}

int Windows::Count() const { return int(live(app_.get()).books.size()); }

WindowPtr Windows::Item(int index) { return std::make_shared<Window>(app_->Workbooks(index)); }

void Windows::Arrange(int arrangeStyle)
{
    live(app_.get());
    if (arrangeStyle != xlArrangeStyleTiled && arrangeStyle != xlArrangeStyleCascade
        && arrangeStyle != xlArrangeStyleHorizontal && arrangeStyle != xlArrangeStyleVertical)
        vt::raise(1004, QStringLiteral("Arrange method of Windows class failed"));
    // One window shows the active workbook; there is nothing to lay out.
}

} // namespace vt::xl
