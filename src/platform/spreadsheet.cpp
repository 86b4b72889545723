// The spreadsheet stand-in's object model: application, workbooks, the sheet
// collection and windows over the data of spreadsheet_data.h (worksheets and
// ranges are in spreadsheet_range.cpp).
#include "platform/spreadsheet.h"

#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/spreadsheet_data.h"
#include "platform/spreadsheet_window.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>

namespace vt::xl {

// --- data helpers --------------------------------------------------------------


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

void refreshView(AppState &st)
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
    // Every automation call passes here: whether the application still
    // lives is read without taking a reference to it.
    if (app_.expired() || !d_->app || d_->app->gone)
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
