#include "platform/spreadsheet_window.h"

#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/spreadsheet_data.h"

#include <QAbstractTableModel>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextBrowser>
#include <QUrl>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace vt::xl {

// --- the grid's model over the active sheet -----------------------------------------

// Roles of our own: the hyperlink address, a cell's number, whether its
// format is General, and whether its text may run on over empty cells.
enum : int { LinkRole = Qt::UserRole + 1, NumberRole, GeneralRole, SpillRole };

class SheetModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setSheet(SheetPtr sheet, int rows, int cols, double zoom)
    {
        beginResetModel();
        sheet_ = std::move(sheet);
        rows_ = rows;
        cols_ = cols;
        zoom_ = zoom;
        endResetModel();
    }
    const SheetPtr &sheet() const { return sheet_; }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : cols_; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!sheet_ || !index.isValid())
            return {};
        try {
            const SheetData &d = sheet_->data();
            const int row = index.row() + 1, col = index.column() + 1;
            const Cell *c = d.find(row, col);
            if (!c)
                return role == Qt::FontRole ? QVariant(font(Style(), false)) : QVariant();
            const Style &style = d.style(*c);
            switch (role) {
            case Qt::DisplayRole:
                return formatValue(evaluateCell(*c, d), style.numberFormat);
            case Qt::EditRole:
                return d.entryText(*c);
            case Qt::FontRole:
                return font(style, c->hasLink());
            case Qt::ForegroundRole: {
                const int rgb = paletteColor(style.colorIndex);
                if (rgb >= 0)
                    return QColor(QRgb(rgb));
                return c->hasLink() ? QVariant(QColor(Qt::blue)) : QVariant();
            }
            case Qt::TextAlignmentRole:
                return int(alignment(style, evaluateCell(*c, d)));
            case Qt::ToolTipRole:
            case LinkRole:
                return c->hasLink() ? QVariant(d.link(row, col)) : QVariant();
            case NumberRole: {
                const Variant v = evaluateCell(*c, d);
                return v.isNumber() ? QVariant(v.number()) : QVariant();
            }
            case GeneralRole:
                return style.numberFormat.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0;
            case SpillRole: {
                // Only text set to the left (or General) runs on to the right.
                const Variant v = evaluateCell(*c, d);
                return v.isText() && !v.toString().isEmpty()
                       && (style.align == xlGeneral || style.align == xlLeft);
            }
            default:
                return {};
            }
        } catch (const RtError &) {
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        return o == Qt::Horizontal ? QVariant(columnLetters(section + 1)) : QVariant(section + 1);
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return index.isValid() ? (Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable) : Qt::NoItemFlags;
    }

    // A cell typed in: a formula, a number, a truth value or a text, as the
    // automation's Formula takes it. A bad formula is refused with a box.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (!sheet_ || role != Qt::EditRole)
            return false;
        bool ok = false;
        vt::guarded(QStringLiteral("SpreadsheetWindow/edit"), [&] {
            try {
                sheet_->Cells(index.row() + 1, index.column() + 1)->setFormula(value.toString());
                ok = true;
            } catch (const RtError &e) {
                if (e.number != 1004)
                    throw;
                vt::MsgBox(e.description, vbOKOnly | vbExclamation, sheet_->Application()->Caption());
            }
        });
        return ok;
    }

private:
    QFont font(const Style &st, bool link) const
    {
        QFont f = QApplication::font();
        f.setPointSizeF(std::max(1.0, st.size * zoom_));
        f.setBold(st.bold);
        f.setUnderline(link || (st.underline != xlUnderlineStyleNone));
        return f;
    }

    static Qt::Alignment alignment(const Style &style, const Variant &v)
    {
        Qt::Alignment h;
        switch (style.align) {
        case xlLeft: case xlFill: case xlJustify: h = Qt::AlignLeft; break;
        case xlCenter: case xlCenterAcrossSelection: case xlDistributed: h = Qt::AlignHCenter; break;
        case xlRight: h = Qt::AlignRight; break;
        default:   // General: numbers right, truth and error values centred, text left
            h = v.isNumber() ? Qt::AlignRight : (v.isBool() || v.isError()) ? Qt::AlignHCenter : Qt::AlignLeft;
        }
        return h | Qt::AlignBottom;
    }

    SheetPtr sheet_;
    int rows_ = 0, cols_ = 0;
    double zoom_ = 1;
};

// --- cells as a spreadsheet shows them ---------------------------------------------------

// Text runs on over the empty cells to its right, and a number that does not
// fit its column is shortened (General) or shown as "#" signs. Each cell
// paints what covers it, also the part of a text that starts further left,
// so a repaint of one cell alone draws it whole.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // How far to the left an empty cell looks for a text that reaches it.
    static constexpr int MaxSpill = 64;

    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QVariant number = index.data(NumberRole);
        if (number.isValid()) {
            QStyleOptionViewItem o(option);
            initStyleOption(&o, index);
            o.text = fitNumber(number.toDouble(), o.text, index.data(GeneralRole).toBool(), o.fontMetrics,
                               o.rect.width() - 6);
            const QWidget *w = option.widget;
            (w ? w->style() : QApplication::style())->drawControl(QStyle::CE_ItemViewItem, &o, p, w);
            return;
        }
        if (index.data(SpillRole).toBool()) {
            QStyleOptionViewItem o(option);
            initStyleOption(&o, index);
            const QString text = o.text;
            o.text.clear();
            const QWidget *w = option.widget;
            (w ? w->style() : QApplication::style())->drawControl(QStyle::CE_ItemViewItem, &o, p, w);
            drawSpill(p, option.rect, option.rect.left(), index, text);
            return;
        }
        QStyledItemDelegate::paint(p, option, index);
        if (!index.data(Qt::DisplayRole).toString().isEmpty())
            return;
        // An empty cell: the text of the nearest filled cell on its left, if it reaches this far.
        const auto *view = qobject_cast<const QTableView *>(option.widget);
        if (!view)
            return;
        int x = option.rect.left();
        for (int c = index.column() - 1; c >= 0 && c >= index.column() - MaxSpill; --c) {
            x -= view->columnWidth(c);
            const QModelIndex left = index.sibling(index.row(), c);
            if (index.model()->data(left, Qt::DisplayRole).toString().isEmpty())
                continue;
            if (left.data(SpillRole).toBool())
                drawSpill(p, option.rect, x, left, left.data(Qt::DisplayRole).toString());
            return;
        }
    }

    // A number in the room there is: General drops decimals, then goes to
    // the exponent form; a fixed format (or no room at all) shows "#" signs.
    static QString fitNumber(double v, const QString &shown, bool general, const QFontMetrics &fm, int room)
    {
        if (fm.horizontalAdvance(shown) <= room)
            return shown;
        if (general) {
            const int dot = shown.indexOf(u'.');
            if (dot >= 0 && !shown.contains(u'E', Qt::CaseInsensitive)) {
                for (int d = int(shown.size()) - dot - 2; d >= 0; --d) {
                    QString t = QString::number(v, 'f', d);
                    if (t == QLatin1String("-0"))
                        t = QStringLiteral("0");
                    if (fm.horizontalAdvance(t) <= room && t.toDouble() != 0)
                        return t;
                }
            }
            for (int prec = 5; prec >= 0; --prec) {
                QString t = QString::number(v, 'E', prec);
                if (fm.horizontalAdvance(t) <= room)
                    return t;
            }
        }
        const int hash = std::max(1, fm.horizontalAdvance(u'#'));
        return QString(std::max(0, room / hash), u'#');
    }

private:
    // Draws `text` as the cell at `left` shows it, clipped to `cell`.
    static void drawSpill(QPainter *p, const QRect &cell, int left, const QModelIndex &from, const QString &text)
    {
        p->save();
        p->setClipRect(cell);
        const QVariant font = from.data(Qt::FontRole);
        if (font.isValid())
            p->setFont(font.value<QFont>());
        const QVariant colour = from.data(Qt::ForegroundRole);
        p->setPen(colour.isValid() ? colour.value<QColor>() : QApplication::palette().color(QPalette::Text));
        const QRect line(left + 3, cell.top(), 1 << 20, cell.height());
        p->drawText(line, int(Qt::AlignLeft | Qt::AlignVCenter) | Qt::TextSingleLine, text);
        p->restore();
    }
};

// --- the window --------------------------------------------------------------------------

SpreadsheetWindow *SpreadsheetWindow::create(const AppPtr &app) { return new SpreadsheetWindow(app); }

QTableView *SpreadsheetWindow::makeView(const char *name)
{
    auto *v = new QTableView;
    v->setObjectName(QString::fromLatin1(name));
    v->setModel(model_);
    v->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    v->setSelectionMode(QAbstractItemView::ContiguousSelection);
    v->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    v->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    v->horizontalHeader()->setMinimumSectionSize(0);
    v->verticalHeader()->setMinimumSectionSize(0);
    v->setWordWrap(false);
    v->setTextElideMode(Qt::ElideNone);
    v->setItemDelegate(new CellDelegate(v));
    // A click on a hyperlink follows it, as in the spreadsheet program.
    connect(v, &QTableView::clicked, this, [this](const QModelIndex &i) {
        const QString link = i.data(LinkRole).toString();
        if (!link.isEmpty())
            vt::guarded(QStringLiteral("SpreadsheetWindow/link"), [&] { followLink(link); });
    });
    connect(v, &QTableView::doubleClicked, this, [this, v](const QModelIndex &i) {
        vt::guarded(QStringLiteral("SpreadsheetWindow/doubleClick"), [&] {
            AppPtr app = app_.lock();
            const SheetPtr sheet = model_->sheet();
            if (!app || !sheet || raiseBeforeDoubleClick(app->state(), sheet, i.row() + 1, i.column() + 1))
                return;
            v->edit(i);
        });
    });
    return v;
}

SpreadsheetWindow::SpreadsheetWindow(const AppPtr &app) : app_(app)
{
    setObjectName(QStringLiteral("SpreadsheetWindow"));
    model_ = new SheetModel(this);
    auto *central = new QWidget;
    auto *box = new QVBoxLayout(central);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    formula_ = new QLineEdit;
    formula_->setObjectName(QStringLiteral("formulaBar"));
    formula_->setReadOnly(true);
    box->addWidget(formula_);
    panes_ = new QGridLayout;
    panes_->setSpacing(0);
    main_ = makeView("sheetGrid");
    top_ = makeView("frozenRows");
    left_ = makeView("frozenColumns");
    corner_ = makeView("frozenCorner");
    for (QTableView *v : {top_, left_, corner_}) {
        v->setSelectionModel(main_->selectionModel());
        v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        v->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        v->hide();
    }
    panes_->addWidget(corner_, 0, 0);
    panes_->addWidget(top_, 0, 1);
    panes_->addWidget(left_, 1, 0);
    panes_->addWidget(main_, 1, 1);
    box->addLayout(panes_, 1);
    tabs_ = new QTabBar;
    tabs_->setObjectName(QStringLiteral("sheetTabs"));
    tabs_->setShape(QTabBar::RoundedSouth);
    tabs_->setExpanding(false);
    box->addWidget(tabs_);
    setCentralWidget(central);

    // The frozen panes scroll with the grid along their free direction.
    const auto sync = [](QScrollBar *a, QScrollBar *b) {
        QObject::connect(a, &QScrollBar::valueChanged, b, &QScrollBar::setValue);
        QObject::connect(b, &QScrollBar::valueChanged, a, &QScrollBar::setValue);
    };
    sync(main_->horizontalScrollBar(), top_->horizontalScrollBar());
    sync(main_->verticalScrollBar(), left_->verticalScrollBar());

    connect(main_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &i) { currentCellChanged(i); });
    connect(tabs_, &QTabBar::currentChanged, this, [this](int t) { tabChosen(t); });

    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    save_ = file->addAction(QIcon::fromTheme(QStringLiteral("document-save")), QStringLiteral("&Save"));
    save_->setObjectName(QStringLiteral("actSave"));
    save_->setShortcut(QKeySequence::Save);
    saveAs_ = file->addAction(QIcon::fromTheme(QStringLiteral("document-save-as")), QStringLiteral("Save &As..."));
    saveAs_->setObjectName(QStringLiteral("actSaveAs"));
    saveAs_->setShortcut(QKeySequence::SaveAs);
    close_ = file->addAction(QIcon::fromTheme(QStringLiteral("document-close")), QStringLiteral("&Close"));
    close_->setObjectName(QStringLiteral("actClose"));
    close_->setShortcut(QKeySequence::Close);
    file->addSeparator();
    quit_ = file->addAction(QIcon::fromTheme(QStringLiteral("application-exit")), QStringLiteral("E&xit"));
    quit_->setObjectName(QStringLiteral("actQuit"));
    quit_->setShortcut(QKeySequence::Quit);
    connect(save_, &QAction::triggered, this, [this] { saveActive(false); });
    connect(saveAs_, &QAction::triggered, this, [this] { saveActive(true); });
    connect(close_, &QAction::triggered, this, [this] { closeActive(); });
    connect(quit_, &QAction::triggered, this, [this] { quitApplication(); });

    app->state().refresh = [this] { scheduleRefresh(); };
    resize(900, 600);
    rebuild();
}

SpreadsheetWindow::~SpreadsheetWindow()
{
    // Nothing may call back into a window that is going away; an open editor
    // is dropped, not committed.
    model_->setSheet(nullptr, 0, 0, 1);
    for (QTableView *v : {main_, top_, left_, corner_})
        v->disconnect(this);
    main_->selectionModel()->disconnect(this);
    tabs_->disconnect(this);
    if (AppPtr app = app_.lock())
        app->state().refresh = nullptr;
}

QWidget *SpreadsheetWindow::followLink(const QString &address)
{
    BookPtr book = activeBook();
    QString target = address;
    // Relative names are relative to the workbook's folder.
    if (!address.contains(QLatin1String("://")) && QFileInfo(address).isRelative() && book && !book->Path().isEmpty())
        target = book->Path() + u'/' + address;
    const QUrl url = address.contains(QLatin1String("://")) ? QUrl(address) : QUrl::fromLocalFile(target);
    if (!url.isLocalFile()) {
        QDesktopServices::openUrl(url);
        return nullptr;
    }
    if (!QFileInfo(url.toLocalFile()).isFile()) {
        vt::MsgBox(QStringLiteral("Cannot open the specified file."), vbOKOnly | vbExclamation,
                   activeApp() ? activeApp()->Caption() : QString());
        return nullptr;
    }
    // Pages are shown in a viewer of our own, so that a link works without a browser.
    if (!linkViewer_) {
        auto *b = new QTextBrowser(this);
        b->setObjectName(QStringLiteral("linkViewer"));
        b->setWindowFlag(Qt::Window);
        b->setOpenExternalLinks(true);
        b->resize(700, 500);
        linkViewer_ = b;
    }
    auto *b = static_cast<QTextBrowser *>(linkViewer_.data());
    b->setSource(url);
    b->setWindowTitle(b->documentTitle().isEmpty() ? QFileInfo(url.toLocalFile()).fileName() : b->documentTitle());
    b->show();
    b->raise();
    return b;
}

QString SpreadsheetWindow::fitNumber(double v, const QString &shown, bool general, const QFontMetrics &fm, int room)
{
    return CellDelegate::fitNumber(v, shown, general, fm, room);
}

AppPtr SpreadsheetWindow::activeApp() const { return app_.lock(); }

BookPtr SpreadsheetWindow::activeBook() const
{
    AppPtr app = app_.lock();
    if (!app || app->state().gone)
        return nullptr;
    return app->state().activeBook;
}

void SpreadsheetWindow::applyVisibility()
{
    AppPtr app = app_.lock();
    if (!app || app->state().gone || !app->state().visible) {
        hide();
        return;
    }
    refreshNow();
    applying_ = true;
    switch (app->state().windowState) {
    case xlMinimized: showMinimized(); break;
    case xlMaximized: showMaximized(); break;
    default: showNormal(); break;
    }
    applying_ = false;
}

void SpreadsheetWindow::scheduleRefresh()
{
    if (pending_ || quiet_)
        return;
    pending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (pending_)
            rebuild();
    });
}

void SpreadsheetWindow::refreshNow() { rebuild(); }

void SpreadsheetWindow::rebuild()
{
    pending_ = false;
    quiet_ = true;
    AppPtr app = app_.lock();
    const BookPtr book = activeBook();
    const QString caption = app ? app->state().caption : QString();
    if (!book || book->isClosed()) {
        model_->setSheet(nullptr, 0, 0, 1);
        while (tabs_->count())
            tabs_->removeTab(0);
        formula_->clear();
        layoutPanes(0, 0);
        setWindowTitle(caption);
        quiet_ = false;
        return;
    }
    BookData &bd = book->data();
    SheetPtr sheet = book->ActiveSheet();
    const SheetData &s = sheet->data();
    setWindowTitle(caption == QLatin1String("Spreadsheet") ? caption + QStringLiteral(" - ") + bd.name : caption);

    // Tabs of the visible sheets; each remembers its sheet's position.
    while (tabs_->count())
        tabs_->removeTab(0);
    for (size_t i = 0; i < bd.sheets.size(); ++i) {
        if (bd.sheets[i]->visible != xlSheetVisible)
            continue;
        const int t = tabs_->addTab(bd.sheets[i]->name);
        tabs_->setTabData(t, int(i));
        if (int(i) == bd.active)
            tabs_->setCurrentIndex(t);
    }

    const double zoom = s.zoom / 100.0;
    const int rows = std::min(MaxRows, std::max({s.usedRows(), s.splitRow, s.activeRow, s.selR1}) + 100);
    const int cols = std::min(MaxColumns, std::max({s.usedColumns(), s.splitCol, s.activeCol, 21}) + 5);
    // Emptied first: the views then drop every hidden or resized section of
    // the sheet shown before.
    model_->setSheet(nullptr, 0, 0, zoom);
    model_->setSheet(sheet, rows, cols, zoom);

    const auto colPx = [&](int c) { return int(std::lround(columnPixels(s.width(c)) * zoom)); };
    const auto rowPx = [&](int r) { return int(std::lround(s.height(r) * 4.0 / 3.0 * zoom)); };
    const int vheader = QFontMetrics(QApplication::font()).horizontalAdvance(QString::number(rows)) + 12;
    for (QTableView *v : {main_, top_, left_, corner_}) {
        v->horizontalHeader()->setDefaultSectionSize(colPx(MaxColumns + 1));
        v->verticalHeader()->setDefaultSectionSize(rowPx(MaxRows + 1));
        v->verticalHeader()->setFixedWidth(vheader);
        for (const auto &[c, w] : s.colWidth)
            if (c <= cols)
                v->setColumnWidth(c - 1, colPx(c));
        for (const auto &[r, h] : s.rowHeight)
            if (r <= rows)
                v->setRowHeight(r - 1, rowPx(r));
        for (int c : s.hiddenCols)
            if (c <= cols)
                v->setColumnHidden(c - 1, true);
        for (int r : s.hiddenRows)
            if (r <= rows)
                v->setRowHidden(r - 1, true);
    }
    layoutPanes(s.splitRow, s.splitCol);

    const QModelIndex cur = model_->index(s.activeRow - 1, s.activeCol - 1);
    QItemSelectionModel *sel = main_->selectionModel();
    sel->setCurrentIndex(cur, QItemSelectionModel::ClearAndSelect);
    if (s.selR1 != s.selR2 || s.selC1 != s.selC2) {
        const QModelIndex a = model_->index(s.selR1 - 1, s.selC1 - 1);
        const QModelIndex b = model_->index(std::min(s.selR2, rows) - 1, std::min(s.selC2, cols) - 1);
        sel->select(QItemSelection(a, b), QItemSelectionModel::ClearAndSelect);
        sel->setCurrentIndex(cur, QItemSelectionModel::NoUpdate);
    }
    if (s.activeRow > s.splitRow && s.activeCol > s.splitCol)
        main_->scrollTo(cur);
    showEntry(s, s.activeRow, s.activeCol);
    quiet_ = false;
}

// Frozen panes: the rows above the split and the columns left of it stay in
// views of their own beside the grid; the grid shows the rest.
void SpreadsheetWindow::layoutPanes(int splitRow, int splitCol)
{
    const int rows = model_->rowCount(), cols = model_->columnCount();
    const bool fr = splitRow > 0, fc = splitCol > 0;
    top_->setVisible(fr);
    left_->setVisible(fc);
    corner_->setVisible(fr && fc);
    // The views start from a fresh reset with the sheet's own hidden rows and
    // columns; each then hides what another pane shows.
    const auto hideRows = [&](QTableView *v, int from, int to) {
        for (int r = from; r < std::min(to, rows); ++r)
            v->setRowHidden(r, true);
    };
    const auto hideCols = [&](QTableView *v, int from, int to) {
        for (int c = from; c < std::min(to, cols); ++c)
            v->setColumnHidden(c, true);
    };
    hideRows(main_, 0, splitRow);
    hideCols(main_, 0, splitCol);
    if (fr) {
        hideRows(top_, splitRow, rows);
        hideCols(top_, 0, splitCol);
    }
    if (fc) {
        hideRows(left_, 0, splitRow);
        hideCols(left_, splitCol, cols);
    }
    if (fr && fc) {
        hideRows(corner_, splitRow, rows);
        hideCols(corner_, splitCol, cols);
    }
    // Headers: column letters along the top row of panes, row numbers down the left column.
    main_->horizontalHeader()->setVisible(!fr);
    main_->verticalHeader()->setVisible(!fc);
    top_->horizontalHeader()->setVisible(true);
    top_->verticalHeader()->setVisible(!fc);
    left_->horizontalHeader()->setVisible(!fr);
    left_->verticalHeader()->setVisible(true);
    corner_->horizontalHeader()->setVisible(true);
    corner_->verticalHeader()->setVisible(true);
    const auto height = [&](QTableView *v) {
        int h = v->horizontalHeader()->isVisible() ? v->horizontalHeader()->sizeHint().height() : 0;
        for (int r = 0; r < splitRow && r < rows; ++r)
            h += v->isRowHidden(r) ? 0 : v->rowHeight(r);
        return h + 2 * v->frameWidth();
    };
    const auto width = [&](QTableView *v) {
        int w = v->verticalHeader()->isVisible() ? v->verticalHeader()->width() : 0;
        for (int c = 0; c < splitCol && c < cols; ++c)
            w += v->isColumnHidden(c) ? 0 : v->columnWidth(c);
        return w + 2 * v->frameWidth();
    };
    if (fr) {
        top_->setFixedHeight(height(top_));
        corner_->setFixedHeight(height(corner_));
    }
    if (fc) {
        left_->setFixedWidth(width(left_));
        corner_->setFixedWidth(width(corner_));
    }
}

// The formula bar: the cell's address and what was entered in it.
void SpreadsheetWindow::showEntry(const SheetData &s, int row, int col)
{
    const Cell *c = s.find(row, col);
    formula_->setText(QStringLiteral("%1%2   %3").arg(columnLetters(col)).arg(row).arg(c ? s.entryText(*c) : QString()));
}

void SpreadsheetWindow::currentCellChanged(const QModelIndex &index)
{
    if (quiet_ || !index.isValid() || !model_->sheet())
        return;
    quiet_ = true;
    vt::guarded(QStringLiteral("SpreadsheetWindow/select"), [&] {
        const SheetPtr sheet = model_->sheet();
        sheet->Cells(index.row() + 1, index.column() + 1)->Activate();
        showEntry(sheet->data(), index.row() + 1, index.column() + 1);
    });
    quiet_ = false;
}

void SpreadsheetWindow::tabChosen(int tab)
{
    if (quiet_ || tab < 0)
        return;
    vt::guarded(QStringLiteral("SpreadsheetWindow/tab"), [&] {
        if (BookPtr book = activeBook())
            book->Worksheets(tabs_->tabData(tab).toInt() + 1)->Activate();
    });
}

void SpreadsheetWindow::saveActive(bool saveAs)
{
    vt::guarded(QStringLiteral("SpreadsheetWindow/save"), [&] {
        if (BookPtr book = activeBook())
            saveBook(book, saveAs);
    });
}

void SpreadsheetWindow::closeActive()
{
    vt::guarded(QStringLiteral("SpreadsheetWindow/close"), [&] {
        if (BookPtr book = activeBook())
            book->Close();
    });
}

void SpreadsheetWindow::quitApplication()
{
    vt::guarded(QStringLiteral("SpreadsheetWindow/quit"), [&] {
        AppPtr app = app_.lock();
        if (app && !app->state().gone)
            app->Quit();
    });
}

// The user's minimising or maximising is the application's WindowState.
void SpreadsheetWindow::changeEvent(QEvent *e)
{
    QMainWindow::changeEvent(e);
    AppPtr app = app_.lock();
    if (e->type() != QEvent::WindowStateChange || applying_ || !isVisible() || !app || app->state().gone)
        return;
    app->state().windowState = isMinimized() ? xlMinimized : isMaximized() ? xlMaximized : xlNormal;
}

// Closing the window quits the application, unless a workbook stays open.
void SpreadsheetWindow::closeEvent(QCloseEvent *e)
{
    AppPtr app = app_.lock();
    if (!app || app->state().gone) {
        e->accept();
        return;
    }
    e->ignore();
    quitApplication();
}

} // namespace vt::xl
