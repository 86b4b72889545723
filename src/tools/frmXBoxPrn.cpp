#include "tools/frmXBoxPrn.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/controls.h"
#include "platform/conversions.h"
#include "platform/ctlcolor.h"
#include "platform/errors.h"
#include "platform/longwork.h"
#include "platform/msgbox.h"
#include "platform/printer.h"
#include "platform/richtext.h"
#include "platform/waiting.h"
#include "shell/frmMDI.h"
#include "shell/frmSplash.h"
#include "shell/modErrMsgs.h"
#include "shell/modNeighbours.h"
#include "shell/modStatus.h"
#include "tools/modPrint.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <limits>
#include <utility>

namespace vt {

namespace {

constexpr int kPortraitW = 12240; // 8.5 x 11 inches, twips
constexpr int kPortraitH = 15840;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kLightGrey = 0xC0C0C0;

int imagePixels(int twips) { return std::max(1, CLng(twips * double(PagePicture::kDpi) / 1440.0)); }

// A margin line or pattern line in the picture's twips, one pixel wide.
QPainter *twipsPainter(QPainter &p, const PagePicture *pic)
{
    p.scale(double(pic->image.width()) / std::max(1, pic->widthTwips()),
            double(pic->image.height()) / std::max(1, pic->heightTwips()));
    return &p;
}

// Guards an event handler: failures go to the error reporter.
template <class F>
void handle(const char *name, F body)
{
    guarded(QStringLiteral("frmXBoxPrn/") + QString::fromLatin1(name), body);
}

// Where a failure in one of the window's controls is reported.
const QString kWhere = QStringLiteral("frmXBoxPrn/");

// A tool button from its row, showing an arrow, else the theme's icon, else
// its tip as its text.
QToolButton *tool(QWidget *parent, const ControlRow &row, Qt::ArrowType arrow, const char *icon)
{
    auto *b = controls::make<QToolButton>(parent, row, kWhere);
    if (arrow != Qt::NoArrow)
        b->setArrowType(arrow);
    else
        b->setIcon(QIcon::fromTheme(QString::fromLatin1(icon)));
    if (b->icon().isNull() && arrow == Qt::NoArrow)
        b->setText(b->toolTip());
    b->setAutoFillBackground(true);
    return b;
}

QGroupBox *frame(QWidget *parent, const char *name, const QString &title)
{
    auto *f = new QGroupBox(title, parent);
    f->setObjectName(QString::fromLatin1(name));
    return f;
}

// Two tool buttons side by side in a frame of their own.
void toolPair(QToolButton *first, QToolButton *second)
{
    auto *lay = new QHBoxLayout(first->parentWidget());
    lay->setContentsMargins(2, 2, 2, 2);
    lay->addWidget(first);
    lay->addWidget(second);
}

// A field with its label, whose text is the field's accessible name.
void labelled(QLabel *&label, const char *labelName, const QString &text, QWidget *field, const char *fieldName,
              const char *tip)
{
    label = new QLabel(text, field->parentWidget());
    label->setObjectName(QString::fromLatin1(labelName));
    field->setObjectName(QString::fromLatin1(fieldName));
    if (tip)
        field->setToolTip(QString::fromLatin1(tip));
    field->setAccessibleName(text);
    label->setBuddy(field);
}

// Push buttons made from a table, none of which takes Enter for its own.
std::vector<QPushButton *> plainButtons(QWidget *parent, std::initializer_list<ControlRow> rows)
{
    std::vector<QPushButton *> made = controls::make<QPushButton>(parent, rows, kWhere);
    for (QPushButton *b : made)
        b->setAutoDefault(false);
    return made;
}

// Runs the window's handler, guarded under its name, whenever sender sends
// signal; the window is the connection's receiver, so that its destructor
// can let go of every handler before its controls go.
template <class S, class Signal>
void wire(frmXBoxPrn *form, S *sender, Signal signal, const char *name, void (frmXBoxPrn::*handler)())
{
    QObject::connect(sender, signal, form, [form, name, handler] { handle(name, [form, handler] { (form->*handler)(); }); });
}

} // namespace

// --- page pictures --------------------------------------------------------------

PagePicture::PagePicture(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizeTwips(1440, 1440);
}

void PagePicture::setSizeTwips(int width, int height)
{
    width = std::max(1, width);
    height = std::max(1, height);
    widthTwips_ = width;
    heightTwips_ = height;
    image = QImage(imagePixels(width), imagePixels(height), QImage::Format_RGB32);
    const int dpm = CLng(kDpi / 0.0254);
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    image.fill(Qt::white);
    resize(std::max(1, TwipsToPixels(width)), std::max(1, TwipsToPixels(height)));
    update();
}

void PagePicture::setShownTwips(int width, int height)
{
    widthTwips_ = std::max(1, width);
    heightTwips_ = std::max(1, height);
    resize(std::max(1, TwipsToPixels(widthTwips_)), std::max(1, TwipsToPixels(heightTwips_)));
    update();
}

void PagePicture::Cls()
{
    image.fill(Qt::white);
    update();
}

void PagePicture::moveTwips(int left, int top) { move(TwipsToPixels(left), TwipsToPixels(top)); }

void PagePicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), image);
}

void PagePicture::mousePressEvent(QMouseEvent *e)
{
    const int button = e->button() == Qt::LeftButton ? 1 : e->button() == Qt::RightButton ? 2
                     : e->button() == Qt::MiddleButton ? 4 : 0;
    pressed_ = true;
    emit mouseDown(button);
}

void PagePicture::mouseReleaseEvent(QMouseEvent *e)
{
    if (std::exchange(pressed_, false) && rect().contains(e->position().toPoint()))
        emit clicked();
}

// --- the window -------------------------------------------------------------------

frmXBoxPrn::frmXBoxPrn() : QWidget(frmMDI::instance(), Qt::Dialog)
{
    setObjectName(QStringLiteral("frmXBoxPrn"));
    setWindowTitle(QStringLiteral("Print Preview"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("fraBar"));
    auto *barLay = new QHBoxLayout(bar);
    barLay->addWidget(buildPageNumFrame(bar));
    barLay->addWidget(buildZoomFrame(bar));
    barLay->addWidget(buildControlsFrame(bar));
    barLay->addStretch(1);
    buildHiddenControls();
    buildPageArea();

    bar->adjustSize();
    bar->move(0, 0);
    picXBox->move(0, bar->height());
    wireHandlers();
}

QGroupBox *frmXBoxPrn::buildPageNumFrame(QWidget *bar)
{
    fraPageNum = frame(bar, "fraPageNum", QStringLiteral("Page Number"));
    fraPages = frame(fraPageNum, "fraPages", QString());
    cmdPrevPage = tool(fraPages, {"cmdPrevPage", {}, {}, "Previous Page"}, Qt::LeftArrow, nullptr);
    cmdNextPage = tool(fraPages, {"cmdNextPage", {}, {}, "Next Page"}, Qt::RightArrow, nullptr);
    toolPair(cmdPrevPage, cmdNextPage);
    txtPage = new QLineEdit(fraPageNum);
    labelled(lblPage, "lblPage", QStringLiteral("Page#"), txtPage, "txtPage", "Enter Page Numer");
    txtPage->setFixedWidth(48);
    txtTotalPages = new QLineEdit(fraPageNum);
    txtTotalPages->setObjectName(QStringLiteral("txtTotalPages"));
    txtTotalPages->setReadOnly(true);
    txtTotalPages->setAccessibleName(QStringLiteral("Page count"));
    txtTotalPages->setFixedWidth(64);
    auto *pageLay = new QHBoxLayout(fraPageNum);
    controls::addAll(pageLay, {fraPages, lblPage, txtPage, txtTotalPages});
    return fraPageNum;
}

QGroupBox *frmXBoxPrn::buildZoomFrame(QWidget *bar)
{
    frmZoom = frame(bar, "frmZoom", QStringLiteral("Zoom Page"));
    fraZoom = frame(frmZoom, "fraZoom", QString());
    cmdZoomIn = tool(fraZoom, {"cmdZoomIn", {}, {}, "Zoom In"}, Qt::NoArrow, "zoom-in");
    cmdZoomOut = tool(fraZoom, {"cmdZoomOut", {}, {}, "Zoom Out"}, Qt::NoArrow, "zoom-out");
    toolPair(cmdZoomIn, cmdZoomOut);
    cboZoom = new QComboBox(frmZoom);
    labelled(txtZoom, "txtZoom", QStringLiteral("Zoom%"), cboZoom, "cboZoom", "Select Zoom Level");
    auto *zoomLay = new QHBoxLayout(frmZoom);
    controls::addAll(zoomLay, {fraZoom, txtZoom, cboZoom});
    return frmZoom;
}

QGroupBox *frmXBoxPrn::buildControlsFrame(QWidget *bar)
{
    frmControl = frame(bar, "frmControl", QStringLiteral("Controls"));
    const std::vector<QPushButton *> made = plainButtons(frmControl, {
        {"cmdPageSetup", "Setup", {}, "Set Print Margins"},
        {"cmdPrint", "Print", {}, "Print Current Page"},
        {"cmdClose", "Close", {}, "Close Window"},
    });
    cmdPageSetup = made[0];
    cmdPrint = made[1];
    cmdClose = made[2];
    controls::addAll(new QHBoxLayout(frmControl), controls::widgets(made));
    return frmControl;
}

void frmXBoxPrn::buildHiddenControls()
{
    const std::vector<QPushButton *> made = plainButtons(this, {
        {"cmdLayout0", "Portrait"},
        {"cmdLayout1", "Landscape"},
        {"cmdPrnter", "Printer"},
    });
    cmdLayout[0] = made[0];
    cmdLayout[1] = made[1];
    cmdPrnter = made[2];
    fraControls = frame(this, "fraControls", QStringLiteral("Controls"));
    fraMorCmd = frame(this, "fraMorCmd", QStringLiteral("Test"));
    for (QWidget *w : std::initializer_list<QWidget *>{cmdLayout[0], cmdLayout[1], cmdPrnter, fraControls, fraMorCmd})
        w->hide();
}

void frmXBoxPrn::buildPageArea()
{
    picXBox = new QWidget(this);
    picXBox->setObjectName(QStringLiteral("picXBox"));
    picXBox->setAutoFillBackground(true);
    QPalette grey = picXBox->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    picXBox->setPalette(grey);
    picZ = new PagePicture(picXBox);
    picZ->setObjectName(QStringLiteral("picZ"));
    picZ->setToolTip(QStringLiteral("Click to Zoom in"));
    picX = new PagePicture(this);
    picX->setObjectName(QStringLiteral("picX"));
    picP = new PagePicture(this);
    picP->setObjectName(QStringLiteral("picP"));
    for (int i = 0; i < 3; ++i) {
        picU[i] = new PagePicture(this);
        picU[i]->setObjectName(QStringLiteral("picU%1").arg(i));
        picU[i]->move(0, 0);
        picU[i]->hide();
    }
    HScroX = new QScrollBar(Qt::Horizontal, this);
    HScroX->setObjectName(QStringLiteral("HScroX"));
    HScroX->setAccessibleName(QStringLiteral("Scroll across"));
    VScroY = new QScrollBar(Qt::Vertical, this);
    VScroY->setObjectName(QStringLiteral("VScroY"));
    VScroY->setAccessibleName(QStringLiteral("Scroll down"));
}

void frmXBoxPrn::wireHandlers()
{
    wire(this, cmdPrevPage, &QToolButton::clicked, "cmdPrevPage_Click", &frmXBoxPrn::cmdPrevPage_Click);
    wire(this, cmdNextPage, &QToolButton::clicked, "cmdNextPage_Click", &frmXBoxPrn::cmdNextPage_Click);
    wire(this, cmdZoomIn, &QToolButton::clicked, "cmdZoomIn_Click", &frmXBoxPrn::cmdZoomIn_Click);
    wire(this, cmdZoomOut, &QToolButton::clicked, "cmdZoomOut_Click", &frmXBoxPrn::cmdZoomOut_Click);
    wire(this, cmdPageSetup, &QPushButton::clicked, "cmdPageSetup_Click", &frmXBoxPrn::cmdPageSetup_Click);
    wire(this, cmdPrint, &QPushButton::clicked, "cmdPrint_Click", &frmXBoxPrn::cmdPrint_Click);
    wire(this, cmdClose, &QPushButton::clicked, "cmdClose_Click", &frmXBoxPrn::cmdClose_Click);
    wire(this, cboZoom, &QComboBox::currentIndexChanged, "cboZoom_Click", &frmXBoxPrn::cboZoom_Click);
    connect(picZ, &PagePicture::mouseDown, this,
            [this](int which) { handle("picZ_MouseDown", [this, which] { picZ_MouseDown(which); }); });
    wire(this, picZ, &PagePicture::clicked, "picZ_Click", &frmXBoxPrn::picZ_Click);
    wire(this, HScroX, &QScrollBar::valueChanged, "HScroX_Change", &frmXBoxPrn::HScroX_Change);
    wire(this, VScroY, &QScrollBar::valueChanged, "VScroY_Change", &frmXBoxPrn::VScroY_Change);
}

frmXBoxPrn::~frmXBoxPrn()
{
    disconnect();
    for (QObject *o : std::initializer_list<QObject *>{cmdPrevPage, cmdNextPage, cmdZoomIn, cmdZoomOut, cmdPageSetup,
                                                       cmdPrint, cmdClose, cboZoom, picZ, HScroX, VScroY})
        disconnect(o, nullptr, this, nullptr);
    if (box_)
        box_->FormatRangeDone();
}

void frmXBoxPrn::showDialog()
{
    // A second Preview while this one is still counting its pages would open
    // the window twice.
    if (frmXBoxPrn *open = instance(); open && open->paging_ > 0)
        return;
    showModal(get());
}

void frmXBoxPrn::Form_Load()
{
    prvReady = false;
    zoomDir = 1;
    zoomMin = 0;
    zoomMax = 7;
    zoomIdx = 4;
    pagCount = 1;
    pagCur = 1;
    prvOrient = int16_t(printerOrientation(Printer()));
    for (int i = 0; i <= 7; ++i) {
        const int v = 100 - 10 * i;
        zoomVals[i] = int16_t(10 * v);
        cboZoom->addItem(Str(v));
    }
    cboZoom->setCurrentIndex(zoomIdx);
    iniPrvLayout();
    drawPattern(picZ);
    drawPattern(picX);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    txtPage->setText(QStringLiteral("1"));
    pagCount = getPagCnt(picX);
    txtTotalPages->setText(QStringLiteral("of ") + QString::number(pagCount));
    getPagPrnImg(picX, pagCur);
    savPrnImg(picX, picP);
    drwMargLines(picX);
    drwNoRoom(picX);
    prvReady = true;
    zoomPrnImg(picX, picZ, zoomIdx);
    Form_Resize();
    SizeScrolls();
    picZ->show();
    QApplication::restoreOverrideCursor();
    if (closeWanted_)
        doClose();
}

void frmXBoxPrn::iniPrvLayout()
{
    boxTop0 = picXBox->y();
    // Room for the page at the first zoom step and for the frames above it.
    const QWidget *bar = findChild<QWidget *>(QStringLiteral("fraBar"));
    const int pageWidth = TwipsToPixels(kPortraitH * zoomVals[zoomIdx] / 1000) + TwipsToPixels(400);
    const int width = std::max(bar ? bar->width() : 0, pageWidth + VScroY->sizeHint().width());
    int height = boxTop0 + TwipsToPixels(kPortraitH * zoomVals[zoomIdx] / 1000) + TwipsToPixels(400) +
                 HScroX->sizeHint().height();
    if (const QScreen *s = screen())
        height = std::min(height, s->availableGeometry().height() * 9 / 10);
    resize(width, height);
    picXBox->move(0, boxTop0);
    for (PagePicture *p : {picZ, picX, picP})
        p->hide();
    SizeDoc(prvOrient);
}

void frmXBoxPrn::SizeDoc(int16_t &orientation)
{
    if (prvOrient != 1 && prvOrient != 2)
        prvOrient = 1;
    const int w = orientation == 2 ? kPortraitH : kPortraitW;
    const int h = orientation == 2 ? kPortraitW : kPortraitH;
    for (PagePicture *p : {picP, picX}) {
        p->setSizeTwips(w, h);
        p->move(0, 0);
        p->hide();
    }
    picZ->setSizeTwips(w, h);
    picZ->moveTwips(100, 100);
    SizeScrolls();
}

void frmXBoxPrn::SizeScrolls()
{
    // Steps in pixels: a tenth of a screen line would make the wheel crawl.
    const QRect box = picXBox->geometry();
    const int sbw = VScroY->sizeHint().width();
    const int sbh = HScroX->sizeHint().height();
    VScroY->setGeometry(box.x() + box.width(), box.y(), sbw, box.height());
    VScroY->setRange(0, std::max(0, picZ->height() - box.height() + TwipsToPixels(230)));
    VScroY->setSingleStep(std::max(1, box.height() / 20));
    VScroY->setPageStep(std::max(1, box.height() / 2));
    VScroY->setVisible(picZ->height() + TwipsToPixels(200) > box.height());
    HScroX->setGeometry(box.x(), box.y() + box.height(), box.width(), sbh);
    HScroX->setRange(0, std::max(0, picZ->width() - box.width() + TwipsToPixels(230)));
    HScroX->setSingleStep(std::max(1, box.width() / 20));
    HScroX->setPageStep(std::max(1, box.width() / 2));
    HScroX->setVisible(picZ->width() + TwipsToPixels(200) > box.width());
    HScroX_Change();
    VScroY_Change();
}

void frmXBoxPrn::Form_Resize()
{
    if (windowState() & Qt::WindowMinimized)
        return;
    const int left = picXBox->x();
    const int width = std::max(0, this->width() - 2 * left - VScroY->sizeHint().width() - TwipsToPixels(120));
    const int height = std::max(0, this->height() - boxTop0 - HScroX->sizeHint().height());
    picXBox->setGeometry(left, boxTop0, width, height);
    SizeScrolls();
}

void frmXBoxPrn::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    if (prvReady)
        handle("Form_Resize", [this] { Form_Resize(); });
}

void frmXBoxPrn::HScroX_Change()
{
    if (picZ->width() + TwipsToPixels(200) < picXBox->width()) {
        picZ->move(TwipsToPixels(100), picZ->y());
        const QSignalBlocker quiet(HScroX);
        HScroX->setValue(0);
    } else {
        picZ->move(TwipsToPixels(100) - HScroX->value(), picZ->y());
    }
}

void frmXBoxPrn::VScroY_Change()
{
    if (picZ->height() + TwipsToPixels(200) < picXBox->height()) {
        picZ->move(picZ->x(), TwipsToPixels(100));
        const QSignalBlocker quiet(VScroY);
        VScroY->setValue(0);
    } else {
        picZ->move(picZ->x(), TwipsToPixels(100) - VScroY->value());
    }
}

// --- paging ---------------------------------------------------------------------

bool frmXBoxPrn::fillRecord(PagePicture *page)
{
    frmDocument *doc = ActiveForm();
    box_ = doc ? doc->rtfText : nullptr;
    if (!box_)
        return false;
    const int L = marginTwips(PrnMargins.Left);
    const int R = marginTwips(PrnMargins.Right);
    const int T = marginTwips(PrnMargins.Top);
    const int B = marginTwips(PrnMargins.Bottom);
    prvPageRect = QRect(0, 0, page->widthTwips(), page->heightTwips());
    prvMargRect = QRect(QPoint(L, T), QPoint(page->widthTwips() - R - 1, page->heightTwips() - B - 1));
    prvTextLen = box_->TextLength();
    return true;
}

bool frmXBoxPrn::pagingGoesOn()
{
    waiting::turn();
    return box_ && !closeWanted_ && !longwork::stopRequested();
}

int16_t frmXBoxPrn::getPagCnt(PagePicture *page)
{
    if (!fillRecord(page)) {
        pagCur = 1;
        pagCount = 1;
        pageStarts_.clear();
        return 0;
    }
    ++paging_;
    prvNoRoom = false;
    pageStarts_.assign(1, 0);
    int from = 0;
    int count = 1;
    for (;;) {
        prvNextChr = box_->FormatRange(nullptr, prvMargRect, from, prvTextLen);
        if (prvNextChr >= prvTextLen)
            break;
        if (prvNextChr <= from) {
            // Not one line fits: the count ends with what it has.
            prvNoRoom = true;
            break;
        }
        from = prvNextChr;
        if (count == std::numeric_limits<int16_t>::max())
            break;
        pageStarts_.push_back(from);
        ++count;
        if (!pagingGoesOn())
            break;
    }
    --paging_;
    startsRect_ = prvMargRect;
    startsLen_ = prvTextLen;
    page->Cls();
    return int16_t(count);
}

void frmXBoxPrn::getPagPrnImg(PagePicture *page, int16_t &pageNumber)
{
    if (!fillRecord(page)) {
        pagCur = 1;
        pagCount = 1;
        return;
    }
    page->Cls();
    ++paging_;
    int k = 1;
    int from = 0;
    // The count left where each page starts: the page wanted is formatted
    // alone, however far into the CFile it lies.
    if (startsRect_ == prvMargRect && startsLen_ == prvTextLen && !pageStarts_.empty()) {
        k = std::clamp(int(pageNumber), 1, int(pageStarts_.size()));
        from = pageStarts_[size_t(k - 1)];
    }
    for (;;) {
        QPainter painter(&page->image);
        prvNextChr = box_->FormatRange(&painter, prvMargRect, from, prvTextLen);
        painter.end();
        if (prvNextChr >= prvTextLen || k >= pageNumber || prvNextChr <= from)
            break;
        page->Cls();
        from = prvNextChr;
        ++k;
        if (!pagingGoesOn())
            break;
    }
    --paging_;
    page->update();
}

void frmXBoxPrn::savPrnImg(PagePicture *source, PagePicture *dest)
{
    if (dest->widthTwips() != source->widthTwips() || dest->heightTwips() != source->heightTwips())
        dest->setSizeTwips(source->widthTwips(), source->heightTwips());
    QPainter p(&dest->image);
    p.drawImage(QRect(QPoint(0, 0), dest->image.size()), source->image);
    p.end();
    dest->update();
}

void frmXBoxPrn::drwMargLines(PagePicture *page)
{
    const int L = marginTwips(PrnMargins.Left);
    const int R = marginTwips(PrnMargins.Right);
    const int T = marginTwips(PrnMargins.Top);
    const int B = marginTwips(PrnMargins.Bottom);
    const int W = page->widthTwips();
    const int H = page->heightTwips();
    QPainter p(&page->image);
    twipsPainter(p, page);
    QPen pen(QColor(0, 0, 255), 0, Qt::DashDotLine); // cosmetic: one pixel whatever the scale
    p.setPen(pen);
    p.drawLine(L, 0, L, H);
    p.drawLine(W - R, 0, W - R, H);
    p.drawLine(0, T, W, T);
    p.drawLine(0, H - B, W, H - B);
    p.end();
    page->update();
}

void frmXBoxPrn::drwNoRoom(PagePicture *page)
{
    if (!prvNoRoom)
        return;
    // Shown on the screen's page only; the print copy stays as rendered.
    QPainter p(&page->image);
    QFont f = p.font();
    f.setPointSize(14);
    p.setFont(f);
    p.setPen(Qt::red);
    p.drawText(QRect(QPoint(0, 0), page->image.size()), Qt::AlignCenter | Qt::TextWordWrap,
               QStringLiteral("The print margins leave no room for a line of text."));
    p.end();
    page->update();
}

void frmXBoxPrn::drawPattern(PagePicture *page)
{
    page->moveTwips(100, 100);
    const int W = page->widthTwips();
    const int H = page->heightTwips();
    const QPoint c(W / 2, H / 2);
    QPainter p(&page->image);
    twipsPainter(p, page);
    auto pen = [&p](const QColor &colour) { p.setPen(QPen(colour, 0)); };
    pen(Qt::black);
    p.drawLine(QPoint(0, 0), c);
    pen(Qt::red);
    p.drawLine(QPoint(0, H), c);
    p.drawLine(QPoint(W, H), c);
    pen(Qt::blue);
    p.drawLine(QPoint(W, 0), c);
    pen(QColor(255, 0, 255));
    p.drawLine(0, 0, 0, H);
    p.drawLine(0, 0, W, 0);
    p.drawLine(W - 10, 0, W - 10, H);
    p.drawLine(0, H - 10, W, H - 10);
    const struct { int divisor; QColor colour; } circles[] = {
        {16, Qt::blue}, {8, Qt::black}, {4, Qt::red}, {2, Qt::red}};
    for (const auto &k : circles) {
        pen(k.colour);
        p.drawEllipse(c, W / k.divisor, W / k.divisor);
    }
    p.end();
    page->update();
}

bool frmXBoxPrn::zoomPrnImg(PagePicture *source, PagePicture *dest, int16_t step)
{
    const int z = zoomVals[std::clamp<int>(step, 0, 8)];
    if (z == 1000) {
        dest->setShownTwips(source->widthTwips(), source->heightTwips());
        dest->image = source->image.copy();
        dest->update();
        return true;
    }
    dest->setShownTwips(source->widthTwips() * z / 1000, source->heightTwips() * z / 1000);
    const QSize size(std::max(1, source->image.width() * z / 1000), std::max(1, source->image.height() * z / 1000));
    QImage scaled = source->image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scaled.isNull()) {
        MsgBox(QStringLiteral("Images Resizing Error.!\r\nCan Not Continue."),
               vbOKOnly | vbSystemModal | vbMsgBoxSetForeground);
        dest->update();
        return false;
    }
    dest->image = std::move(scaled);
    dest->update();
    return true;
}

void frmXBoxPrn::showCurPage()
{
    getPagPrnImg(picX, pagCur);
    savPrnImg(picX, picP);
    drwMargLines(picX);
    drwNoRoom(picX);
    zoomPrnImg(picX, picZ, zoomIdx);
    Form_Resize();
    SizeScrolls();
    picZ->update();
}

void frmXBoxPrn::goPage()
{
    picZ->Cls();
    showCurPage();
    picZ->show();
}

void frmXBoxPrn::seePageBtns()
{
    cmdPrevPage->setEnabled(pagCur >= 2 && pagCount >= 2);
    cmdNextPage->setEnabled(pagCur < pagCount);
    txtPage->setText(Str(pagCur));
}

void frmXBoxPrn::rfsPreview()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    pagCur = 1;
    txtPage->setText(QStringLiteral("1"));
    pagCount = getPagCnt(picX);
    txtTotalPages->setText(QStringLiteral("of ") + QString::number(pagCount));
    showCurPage();
    QApplication::restoreOverrideCursor();
}

// --- commands ---------------------------------------------------------------------

void frmXBoxPrn::cboZoom_Click()
{
    if (!prvReady || paging_ > 0)
        return;
    zoomIdx = int16_t(std::clamp(cboZoom->currentIndex(), int(zoomMin), int(zoomMax)));
    cmdZoomOut->setEnabled(zoomIdx < zoomMax);
    cmdZoomIn->setEnabled(zoomIdx > zoomMin);
    zoomPrnImg(picX, picZ, zoomIdx);
    Form_Resize();
    SizeScrolls();
    picZ->update();
}

// Zooming in and out are one step in two directions: the button of the
// direction turns green and sets the picture's cursor and tip for further
// clicks, and the zoom moves one entry of the list (smaller index, closer).
void frmXBoxPrn::zoomStep(bool in)
{
    if (paging_ > 0)
        return;
    zoomDir = in ? 1 : 0;
    const QPixmap pm = imgCursor(in ? QStringLiteral("ZoomIn") : QStringLiteral("ZoomOut"));
    picZ->setCursor(pm.isNull() ? QCursor(Qt::CrossCursor) : QCursor(pm));
    SetBackColor(in ? cmdZoomIn : cmdZoomOut, kGreen);
    SetBackColor(in ? cmdZoomOut : cmdZoomIn, kLightGrey);
    picZ->setToolTip(in ? QStringLiteral("Click to Zoom In") : QStringLiteral("Click to Zoom Out"));
    if (in ? zoomIdx > zoomMin : zoomIdx < zoomMax) {
        zoomIdx = int16_t(zoomIdx + (in ? -1 : 1));
        cboZoom->setCurrentIndex(zoomIdx);
    }
}

void frmXBoxPrn::cmdZoomIn_Click() { zoomStep(true); }

void frmXBoxPrn::cmdZoomOut_Click() { zoomStep(false); }

void frmXBoxPrn::picZ_MouseDown(int button)
{
    if (button == 2)
        zoomDir = 0;
    else if (button == 1)
        zoomDir = 1;
}

void frmXBoxPrn::picZ_Click()
{
    if (zoomDir == 0)
        cmdZoomOut_Click();
    else if (zoomDir == 1)
        cmdZoomIn_Click();
}

void frmXBoxPrn::cmdPrevPage_Click()
{
    if (paging_ > 0 || pagCur <= 1)
        return;
    --pagCur;
    seePageBtns();
    goPage();
}

void frmXBoxPrn::cmdNextPage_Click()
{
    if (paging_ > 0 || pagCur >= pagCount)
        return;
    ++pagCur;
    seePageBtns();
    goPage();
}

void frmXBoxPrn::cmdPageSetup_Click()
{
    if (paging_ > 0)
        return;
    getPrnMargins();
    rfsPreview();
    if (closeWanted_)
        doClose();
}

void frmXBoxPrn::cmdPrint_Click()
{
    if (paging_ > 0)
        return;
    if (!activeCFileOrNotice())
        return;
    QPrinter &printer = Printer();
    setPrinterOrientation(printer, prvOrient);
    preparePrinter(printer);
    PrintJob job(printer);
    job.begin(ActiveForm()->Caption());
    const double dpiX = printer.resolution();
    const double dpiY = printer.resolution();
    // The page at its own size: twips on the printer, from the printable corner.
    const QRectF target(0, 0, picP->widthTwips() * dpiX / 1440.0, picP->heightTwips() * dpiY / 1440.0);
    job.painter().setRenderHint(QPainter::SmoothPixmapTransform);
    job.painter().drawImage(target, picP->image);
    job.end();
    tellPrinted(printer, 1);
}

void frmXBoxPrn::cmdClose_Click()
{
    if (paging_ > 0) {
        closeWanted_ = true; // the running count stops and the window closes after it
        return;
    }
    unload(vbFormCode);
}

void frmXBoxPrn::doClose()
{
    // Asked for while the pages were being counted: the window goes once the
    // procedure that counted them has returned.
    hide();
    QPointer<frmXBoxPrn> self(this);
    QTimer::singleShot(0, this, [self] {
        if (self)
            self->unload(vbFormCode);
    });
}

void frmXBoxPrn::Form_QueryUnload(int &cancel, int unloadMode)
{
    (void)unloadMode;
    if (paging_ > 0) {
        closeWanted_ = true;
        cancel = 1;
    }
}

void frmXBoxPrn::closeEvent(QCloseEvent *e) { handleClose(e); }

} // namespace vt
