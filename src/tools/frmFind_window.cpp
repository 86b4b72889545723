// The Find window itself: its controls, laid out at the design's size and
// grown to what their captions need, its panels and their arrangement, the
// question panel through which the search asks, and its keys.
#include "tools/frmFind.h"
#include "tools/frmFind_detail.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/answers.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/settings.h"
#include "platform/timers.h"
#include "platform/waiting.h"
#include "shell/frmMDI.h"
#include "shell/modErrMsgs.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "tools/modFind.h"

#include <algorithm>
#include <cmath>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace vt {

using namespace finddetail;

namespace {

// The factor by which the captions under root need their room to grow.
double neededScale(QWidget *root)
{
    double scale = 1.0;
    for (QWidget *w : root->findChildren<QWidget *>()) {
        if (!qobject_cast<QCheckBox *>(w) && !qobject_cast<QRadioButton *>(w) && !qobject_cast<ClickLabel *>(w))
            continue;
        const QSize need = w->sizeHint();
        if (w->width() > 0 && w->height() > 0)
            scale = std::max({scale, double(need.width()) / w->width(), double(need.height()) / w->height()});
    }
    return scale;
}

// Grows the placement of every control under parent by scale; the insides of
// the controls themselves are left to them.
void scalePlacement(QWidget *parent, double scale)
{
    for (QObject *o : parent->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (!w || w->isWindow() || w->objectName().isEmpty() || w->objectName().startsWith(u"qt_"))
            continue;
        const QRect g = w->geometry();
        w->setGeometry(int(std::lround(g.x() * scale)), int(std::lround(g.y() * scale)), int(std::lround(g.width() * scale)),
                       int(std::lround(g.height() * scale)));
        const QByteArray kind = w->metaObject()->className();
        if (kind == "QWidget" || kind == "QFrame" || kind == "QGroupBox")
            scalePlacement(w, scale);
    }
}

void place(QWidget *w, int left, int top, int width, int height)
{
    w->setGeometry(px(left), px(top), px(width), px(height));
}

void boxNotice(const QString &text) { MsgBox(text, vbOKOnly | vbSystemModal | vbMsgBoxSetForeground); }

} // namespace

void ClickLabel::mouseReleaseEvent(QMouseEvent *e)
{
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked();
}

// --- the window's controls ---------------------------------------------------

namespace {

// A control's place on the design's grid, in twips.
struct Spot {
    int left, top, width, height;
};

void place(QWidget *w, const Spot &at) { place(w, at.left, at.top, at.width, at.height); }

template <class W>
W *named(W *w, const QString &name, const char *tip = nullptr)
{
    w->setObjectName(name);
    if (tip && *tip)
        w->setToolTip(QString::fromLatin1(tip));
    return w;
}

// One control of a group: the member it fills, where it lies, its name,
// caption and tool tip, and its place.
template <class W>
struct Row {
    W *&slot;
    QWidget *parent;
    const char *name;
    QString caption;
    const char *tip;
    Spot at;
};

// A frame that only groups controls.
using FrameRow = Row<QWidget>;
void make(const FrameRow &r)
{
    r.slot = named(new QWidget(r.parent), QString::fromLatin1(r.name), r.tip);
    place(r.slot, r.at);
}

// A label that acts as a button. A glyph is bold and small and is named for
// the accessibility tree after its tip (one without a tip does nothing yet);
// a caption names its label.
using LabelRow = Row<ClickLabel>;
void make(const LabelRow &r)
{
    auto *lab = named(new ClickLabel(r.caption, r.parent), QString::fromLatin1(r.name), r.tip);
    const bool isGlyph = r.caption.size() == 1;
    if (isGlyph) {
        lab->setAccessibleName(r.tip && *r.tip ? QString::fromLatin1(r.tip) : QStringLiteral("Not Activated Yet"));
        QFont f = lab->font();
        f.setBold(true);
        f.setPointSizeF(8.25);
        lab->setFont(f);
        lab->setCursor(Qt::PointingHandCursor);
    } else {
        lab->setAccessibleName(r.caption);
    }
    place(lab, r.at);
    r.slot = lab;
}

// A button; one captioned with a sign is named after its tip.
using ButtonRow = Row<QPushButton>;
void make(const ButtonRow &r)
{
    auto *b = named(new QPushButton(r.caption, r.parent), QString::fromLatin1(r.name), r.tip);
    b->setAutoDefault(false);
    if (r.caption.size() < 2 && r.tip && *r.tip)
        b->setAccessibleName(b->toolTip());
    place(b, r.at);
    r.slot = b;
}

template <class W>
void make(const Row<W> &r)
{
    r.slot = named(new W(r.caption, r.parent), QString::fromLatin1(r.name), r.tip);
    place(r.slot, r.at);
}

template <class R>
void makeAll(std::initializer_list<R> rows)
{
    for (const R &r : rows)
        make(r);
}

// The Find and Replace boxes: editable, with a history, each named after its
// label for the accessibility tree.
QComboBox *textBox(QWidget *parent, const QString &name, const QString &accessible, const char *tip, const Spot &at)
{
    auto *c = named(new QComboBox(parent), name, tip);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->lineEdit()->setMaxLength(1 << 24);
    c->setAccessibleName(accessible);
    place(c, at);
    return c;
}

template <class Sender, class Signal>
void onSignal(frmFind *window, Sender *sender, Signal signal, const char *handler, std::function<void()> body)
{
    const QString where = QStringLiteral("frmFind-") + QLatin1String(handler);
    QObject::connect(sender, signal, window, [where, body = std::move(body)] { guarded(where, body); });
}

} // namespace

frmFind::frmFind() : QDialog(frmMDI::instance())
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("Find text"));
    textScale() = 1.0;
    setModal(false);

    // The order of making is the order of the Tab key and, among controls
    // that overlap, the order of drawing.
    // A table's parents are read as it is written: a frame's own children
    // go in a table after it.
    makeAll<FrameRow>({{fraFox, this, "fraFox", {}, nullptr, {0, 120, 4975, 2050}}});
    makeAll<FrameRow>({
        {fraMore0, fraFox, "fraMore_0", {}, "Reserved", {600, 240, 50, 130}},
        {fraReplace, fraFox, "fraReplace", {}, nullptr, {0, 400, 4935, 435}},
        {fraMain, fraFox, "fraMain", {}, nullptr, {0, 800, 4900, 1250}},
    });
    makeAll<FrameRow>({
        {fraHow, fraMain, "fraHow", {}, nullptr, {100, 0, 1500, 1200}},
        {fraDrct, fraMain, "fraDrct", {}, nullptr, {1575, 0, 1920, 375}},
        {fraWhere, fraMain, "fraWhere", {}, nullptr, {1750, 400, 1250, 725}},
    });
    fraMore0->hide();
    fraReplace->setAccessibleName(QStringLiteral("Replace"));

    // The glyph labels lie beneath the buttons that may move over them.
    const char *copyTip = "Click Here To Copy Selected Block From Active CFile";
    makeAll<LabelRow>({
        {lblMoreX, fraFox, "lblMoreX", kGlyphOne, "Hide Special Features", {100, 60, 225, 180}},
        {lblFind, fraFox, "lblFind", QStringLiteral("Find:"), copyTip, {390, 20, 420, 240}},
        {lblMore[0], fraFox, "lblMore_0", kGlyphPointer, "Clear Find History", {3515, 80, 120, 180}},
        {lblMore[1], fraFox, "lblMore_1", kGlyphZero, "Expand-Reduce Setup", {4665, 75, 195, 180}},
        {lblReplace, fraReplace, "lblReplace", QStringLiteral("Replace:"), copyTip, {60, 0, 750, 240}},
        {lblMore[2], fraReplace, "lblMore_2", kGlyphPointer, "Clear Replace History", {3515, 60, 120, 180}},
        {lblMore[3], fraReplace, "lblMore_3", kGlyphOne, "Show  Replace", {4660, 60, 225, 180}},
        {lblDrct, fraDrct, "lblDrct", QStringLiteral("&Direction:"), "Reset Text Search", {0, 50, 660, 255}},
        {lblMore[4], fraMain, "lblMore_4", kGlyphPointer, "Reset Search Parameters Only", {3515, 60, 120, 180}},
        {lblMore[5], fraMain, "lblMore_5", kGlyphOne, "Show  Replace", {4660, 60, 225, 180}},
        {lblMore[6], fraMain, "lblMore_6", kGlyphPointer, "Expand Find &  Replace Windows", {3180, 480, 120, 180}},
        {lblMore[7], fraMain, "lblMore_7", kGlyphOne, "Hide Extensions", {4665, 460, 240, 180}},
        {lblMore[8], fraMain, "lblMore_8", kGlyphPointer, nullptr, {3180, 840, 120, 180}},
        {lblMore[9], fraMain, "lblMore_9", kGlyphZero, nullptr, {4665, 860, 240, 180}},
    });

    cboText[0] = textBox(fraFox, QStringLiteral("cboText_0"), QStringLiteral("Find:"), nullptr, {840, 0, 2655, 315});
    cboText[1] = textBox(fraReplace, QStringLiteral("cboText_1"), QStringLiteral("Replace:"),
                         "Double Click to Copy Selected Block from CFile", {840, 0, 2655, 315});
    makeAll<Row<QCheckBox>>({
        {chkWholeWord, fraHow, "chkWholeWord", QStringLiteral("&Whole Words"), "Find Only Whole Words", {0, 0, 1470, 225}},
        {chkMatchCase, fraHow, "chkMatchCase", QStringLiteral("&Match Case"), "Find Only Matching Case", {0, 240, 1245, 240}},
        {chkPatternMatch, fraHow, "chkPatternMatch", QStringLiteral("&Pattern Matching"), "Sear As Per Pattern Setup", {0, 480, 1550, 240}},
        {chkBlock, fraHow, "chkBlock", QStringLiteral("&Selected Block"), "Search Withing Selected Block Only", {0, 720, 1395, 240}},
        {chkFcsTrkOff, fraHow, "chkFcsTrkOff", QStringLiteral("CFile &Lock On"), "Do Not Follow  Cursor Position In CFile", {0, 960, 1395, 240}},
    });
    cmbDirection = named(new QComboBox(fraDrct), QStringLiteral("cmbDirection"));
    cmbDirection->setAccessibleName(QStringLiteral("Direction:"));
    lblDrct->setBuddy(cmbDirection);
    place(cmbDirection, {720, 0, 1205, 315});
    makeAll<Row<QRadioButton>>({
        {chkSheet[0], fraWhere, "chkSheet_0", QStringLiteral("C&urent CFile"), "Search Current CFile Only", {0, 0, 1300, 225}},
        {chkSheet[1], fraWhere, "chkSheet_1", QStringLiteral("&Other CFiles"), "Search All CFiles Except Curent One", {0, 240, 1250, 225}},
        {chkSheet[2], fraWhere, "chkSheet_2", QStringLiteral("All CFiles"), "Search All CFIles Including Curent One", {0, 480, 1095, 225}},
    });
    chkSheet[1]->setEnabled(false); // searching other CFiles is not offered
    chkSheet[2]->setEnabled(false);
    chkSheet[0]->setChecked(true);

    const char *replaceTip = "Replace Curren Location And Find Next One";
    const QString at = QStringLiteral("@");
    const QString replaceAt = QStringLiteral("Replace@");
    makeAll<ButtonRow>({
        {cmdFind, fraFox, "cmdFind", QStringLiteral("&Find"), "Find Next Location", {3650, 0, 990, 315}},
        {cmdReplace[0], fraReplace, "cmdReplace_0", QStringLiteral("&Replace"), replaceTip, {3650, 0, 990, 315}},
        {cmdReplace[1], fraMain, "cmdReplace_1", QStringLiteral("&Replace..."), replaceTip, {3650, 0, 990, 315}},
        {cmdReplaceAll, fraMain, "cmdReplaceAll", QStringLiteral("Replace &All"), "Replace All Found Text", {3650, 0, 990, 315}},
        {cmdFndRst, fraMain, "cmdFndRst", QString(QChar(0x21BA)), "Reset CFile Search Parameters", {3320, 400, 300, 315}},
        {cmdCancel, fraMain, "cmdCancel", QStringLiteral("&Cancel"), "Cance Find End Exit,  Also Stop Replace All", {3650, 400, 990, 315}},
        {cmdRepAtt[0], fraMain, "cmdRepAtt_0", at, "Find Next Location", {3320, 800, 300, 315}},
        {cmdRepAtt[1], fraMain, "cmdRepAtt_1", replaceAt, "Replace Current Location, And Stay Put", {3650, 800, 990, 315}},
        // Anchors of the places the buttons move to; never shown.
        {cmdRepAtt[2], fraMain, "cmdRepAtt_2", at, nullptr, {3320, 1200, 300, 315}},
        {cmdRepAtt[3], fraMain, "cmdRepAtt_3", replaceAt, nullptr, {3650, 1200, 990, 315}},
    });
    cmdFind->setDefault(true);
    QFont bold = cmdCancel->font();
    bold.setBold(true);
    cmdCancel->setFont(bold);
    cmdRepAtt[2]->hide();
    cmdRepAtt[3]->hide();

    makeOverlay();
    makeQuestionPanel();

    // Drawn at the design's size, then grown to what the captions need.
    textScale() = neededScale(this);
    scalePlacement(this, textScale());
    connectHandlers();
}

// The overlay that shows the Find and Replace texts in boxes of many lines.
void frmFind::makeOverlay()
{
    makeAll<FrameRow>({
        {fraExpRef, this, "fraExpRef", {}, nullptr, {5040, 920, 615, 850}},
        {fraTxts, this, "fraTxts", {}, nullptr, {0, 0, 4885, 3700}},
    });
    fraExpRef->hide();
    fraTxts->setAutoFillBackground(true);
    const char *txtTips[2] = {"Copy Selected Text From CFile To Find", "Copy Selected Text From CFile To Replace"};
    for (int i = 0; i < 2; ++i) {
        fraTxt[i] = named(new QGroupBox(i == 0 ? QStringLiteral("Find") : QStringLiteral("Replace"), fraTxts),
                          QStringLiteral("fraTxt_%1").arg(i), txtTips[i]);
        place(fraTxt[i], {0, i == 0 ? 0 : 1850, 4885, 1825});
        fraTxt[i]->installEventFilter(this);
        txtTxt[i] = named(new QPlainTextEdit(fraTxt[i]), QStringLiteral("txtTxt_%1").arg(i));
        txtTxt[i]->setAccessibleName(fraTxt[i]->title());
        txtTxt[i]->setLineWrapMode(QPlainTextEdit::NoWrap);
        txtTxt[i]->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        txtTxt[i]->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        place(txtTxt[i], {50, 240, 4795, 1525});
    }
    fraTxts->hide();
}

// The yellow question panel: its text and three sets of keys (OK; Yes, No;
// Yes, No, Cancel), each set spread evenly over its frame.
void frmFind::makeQuestionPanel()
{
    picQBoz = named(new QFrame(this), QStringLiteral("picQBoz"));
    picQBoz->setFrameShape(QFrame::Box);
    picQBoz->setAutoFillBackground(true);
    fraQText = named(new QFrame(picQBoz), QStringLiteral("fraQText"));
    fraQText->setAutoFillBackground(true);
    lblQText = named(new QLabel(fraQText), QStringLiteral("lblQText"));
    const int keyWidths[3] = {1305, 2385, 2865};
    for (int k = 0; k < 3; ++k) {
        fraQKeys[k] = named(new QWidget(picQBoz), QStringLiteral("fraQKeys_%1").arg(k));
        fraQKeys[k]->setAutoFillBackground(true);
        fraQKeys[k]->resize(px(keyWidths[k]), px(450));
    }
    struct Key {
        const char *caption;
        int set;
        uint32_t colour;
    };
    const Key keys[6] = {{"Ok", 0, 0x00C0C0C0}, {"Yes", 1, 0x0000FF00}, {"No", 1, 0x008080FF},
                         {"Yes", 2, 0x0000FF00}, {"No", 2, 0x008080FF}, {"Cancel", 2, 0x00FFFF80}};
    int slot[3] = {0, 0, 0};
    for (int i = 0; i < 6; ++i) {
        const int k = keys[i].set;
        auto *b = named(new QPushButton(QString::fromLatin1(keys[i].caption), fraQKeys[k]), QStringLiteral("cmdQKeys_%1").arg(i));
        b->setAutoDefault(false);
        QPalette pal = b->palette();
        pal.setColor(QPalette::Button, colorFromNumber(keys[i].colour));
        b->setPalette(pal);
        const int n = k + 1; // keys in this set
        const int gap = (keyWidths[k] - n * 700) / (n + 1);
        place(b, {gap + slot[k]++ * (700 + gap), 85, 700, 280});
        cmdQKeys[i] = b;
    }
    picQBoz->hide();
}

// Every control's handler, run guarded and reported under its name.
void frmFind::connectHandlers()
{
    struct Click {
        QAbstractButton *button;
        const char *handler;
        std::function<void()> body;
    };
    const Click clicks[] = {
        {cmdFind, "cmdFind_Click", [this] { cmdFind_Click(); }},
        {cmdReplace[0], "cmdReplace_Click", [this] { cmdReplace_Click(0); }},
        {cmdReplace[1], "cmdReplace_Click", [this] { cmdReplace_Click(1); }},
        {cmdReplaceAll, "cmdReplaceAll_Click", [this] { cmdReplaceAll_Click(); }},
        {cmdRepAtt[0], "cmdRepAtt_Click", [this] { cmdRepAtt_Click(0); }},
        {cmdRepAtt[1], "cmdRepAtt_Click", [this] { cmdRepAtt_Click(1); }},
        {cmdCancel, "cmdCancel_Click", [this] { cmdCancel_Click(); }},
        {cmdFndRst, "cmdFndRst_Click", [this] { cmdFndRst_Click(); }},
    };
    for (const Click &c : clicks)
        onSignal(this, c.button, &QAbstractButton::clicked, c.handler, c.body);
    for (QCheckBox *c : {chkWholeWord, chkMatchCase, chkPatternMatch, chkBlock, chkFcsTrkOff})
        onSignal(this, c, &QAbstractButton::clicked, "chk_Click", [this, c] { chkOption_Click(c); });
    for (int i = 0; i < 3; ++i)
        onSignal(this, chkSheet[i], &QAbstractButton::clicked, "chkSheet_Click", [this, i] { chkSheet_Click(i); });
    for (int i = 0; i < 6; ++i)
        onSignal(this, cmdQKeys[i], &QAbstractButton::clicked, "cmdQKeys_Click", [this, i] { cmdQKeys_Click(i); });

    struct LabelClick {
        ClickLabel *label;
        const char *handler;
        std::function<void()> body;
    };
    const LabelClick labels[] = {
        {lblMoreX, "lblMoreX_Click", [this] { lblMoreX_Click(); }},
        {lblFind, "lblFind_Click", [this] { lblFind_Click(); }},
        {lblReplace, "lblReplace_Click", [this] { lblReplace_Click(); }},
        {lblDrct, "lblDrct_Click", [this] { askRstCFile(); }},
    };
    for (int i = 0; i < 10; ++i)
        onSignal(this, lblMore[i], &ClickLabel::clicked, "lblMore_Click", [this, i] { lblMore_Click(i); });
    for (const LabelClick &l : labels)
        onSignal(this, l.label, &ClickLabel::clicked, l.handler, l.body);
    onSignal(this, cmbDirection, &QComboBox::activated, "cmbDirection_Click", [this] { cmbDirection_Click(); });
    for (int i = 0; i < 2; ++i)
        onSignal(this, cboText[i], &QComboBox::editTextChanged, "cboText_Change", [this, i] { cboText_Change(i); });
}

frmFind::~frmFind()
{
    for (QComboBox *c : cboText)
        disconnect(c, nullptr, this, nullptr);
    disconnect(cmbDirection, nullptr, this, nullptr);
}

void frmFind::setFormSize(int widthTwips, int heightTwips)
{
    formWidth_ = widthTwips;
    formHeight_ = heightTwips;
    setFixedSize(px(widthTwips - kChromeWidth), px(heightTwips - kChromeHeight));
}

void frmFind::keyPressEvent(QKeyEvent *e)
{
    // Enter answers the question panel with the key that has the focus (the
    // first key of the set when none has it); the Find box's Enter is not
    // a Find while a question waits.
    if (picQBoz->isVisible() && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
        QPushButton *key = nullptr;
        for (QPushButton *b : cmdQKeys) {
            if (!b->isVisibleTo(picQBoz))
                continue;
            if (b->hasFocus()) {
                key = b;
                break;
            }
            if (!key)
                key = b;
        }
        if (key)
            key->click();
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void frmFind::reject()
{
    // Esc answers a waiting question with Cancel, as the close box does, and
    // otherwise closes the window as its Cancel button.
    if (picQBoz->isVisible()) {
        iQAnswer = 2;
        picQBoz->hide();
        return;
    }
    cmdCancel_Click();
}

bool frmFind::event(QEvent *e)
{
    if (e->type() == QEvent::DeferredDelete && waiting_ > 0) {
        deletePending_ = true;
        return true;
    }
    return QDialog::event(e);
}

bool frmFind::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 0; i < 2; ++i)
            if (watched == fraTxt[i])
                guarded(QStringLiteral("frmFind-fraTxt_Click"), [this, i] { fraTxt_Click(i); });
    }
    return QDialog::eventFilter(watched, event);
}

void frmFind::getFndWinPos()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int sw = PixelsToTwips(screen.width());
    const int sh = PixelsToTwips(screen.height());
    const int ww = formWidth_;
    const int wh = formHeight_;
    int left = (sw - ww) / 2;
    int top = (sh - wh) / 2;
    // A step that fails (a stored value that is no number) is skipped.
    const auto read = [](const QString &key, int &value) {
        try {
            value = int(CLng(GetSetting(AppTitle, kSection, key, QString::number(value))));
        } catch (const RtError &) {
        }
    };
    read(kLeftKey, left);
    read(kTopKey, top);
    if (left > sw - ww / 2)
        left = sw - ww / 2;
    if (top > sh - wh)
        top = sh - wh;
    move(TwipsToPixels(left), TwipsToPixels(top));
}

// --- panels ------------------------------------------------------------------

void frmFind::seeFndPanels()
{
    WinState &w = ws();
    const bool found = FindState.Found;
    int d = 0;
    QWidget *extensions[] = {cmdRepAtt[0], cmdRepAtt[1], chkBlock, chkFcsTrkOff, chkSheet[1], chkSheet[2], lblMore[9]};
    for (QWidget *c : extensions)
        c->setVisible(w.bExtOpen);
    if (w.bExtOpen) {
        lblMore[7]->setText(kGlyphOne);
        lblMore[7]->setToolTip(QStringLiteral("Hide Extensions"));
    } else {
        lblMore[7]->setText(kGlyphZero);
        lblMore[7]->setToolTip(QStringLiteral("Show Extensions"));
        d = kMainHeight - kExpRefHeight;
    }
    lblMore[7]->setAccessibleName(lblMore[7]->toolTip());
    if (w.bRepOpen) {
        setFormSize(formWidth_, w.iHgtFull - d);
        fraReplace->move(fraReplace->x(), px(w.iTopRepl));
        fraMain->move(fraMain->x(), px(w.iTopMain));
        fraReplace->show();
        cmdReplace[1]->hide();
        cmdReplaceAll->show();
        for (int i : {3, 5}) {
            lblMore[i]->show();
            lblMore[i]->setText(kGlyphOne);
            lblMore[i]->setToolTip(QStringLiteral("Hide Replace"));
        }
        for (QPushButton *b : {cmdReplace[0], cmdReplace[1], cmdRepAtt[1], cmdReplaceAll})
            b->setEnabled(found);
    } else {
        setFormSize(formWidth_, w.iHgtFull - w.iHgtRepl - d);
        fraMain->move(fraMain->x(), px(w.iTopRepl));
        fraReplace->hide();
        cmdReplace[1]->setEnabled(true);
        cmdReplace[1]->show();
        cmdReplaceAll->hide();
        lblMore[3]->hide();
        for (int i : {3, 5}) {
            lblMore[i]->setText(kGlyphZero);
            lblMore[i]->setToolTip(QStringLiteral("Show Replace"));
        }
    }
    for (int i : {3, 5})
        lblMore[i]->setAccessibleName(lblMore[i]->toolTip());
    setFindNextMenu(found);
    cmdFind->setText(found ? QStringLiteral("&Find Next") : QStringLiteral("&Find"));
    chkMatchCase->setEnabled(!chkPatternMatch->isChecked());
}

void frmFind::arrButtons()
{
    const bool shown = ws().bSpcOpen;
    QPushButton *column[] = {cmdFind, cmdReplace[0], cmdReplace[1], cmdReplaceAll, cmdCancel, cmdRepAtt[1]};
    for (QPushButton *b : column) {
        b->move(shown ? cmdRepAtt[3]->x() : lblMore[0]->x(), b->y());
        b->raise();
    }
    cmdFndRst->move(shown ? cmdRepAtt[2]->x() : lblMore[6]->x(), cmdFndRst->y());
    cmdRepAtt[0]->move(shown ? cmdRepAtt[2]->x() : lblMore[8]->x(), cmdRepAtt[0]->y());
    cmdFndRst->raise();
    cmdRepAtt[0]->raise();
    const int width = kFoxWidth - (shown ? 0 : kGlyph0Width + kGlyph1Width);
    setFormSize(width, formHeight_);
    lblMoreX->setText(shown ? kGlyphOne : kGlyphZero);
    lblMoreX->setToolTip(shown ? QStringLiteral("Hide Special Features") : QStringLiteral("Show Special Features"));
    lblMoreX->setAccessibleName(lblMoreX->toolTip());
}

void frmFind::arrTxtFrames()
{
    if (!fraFox->isEnabled()) {
        const int height = ws().bRepOpen ? kTxtsHeight + 350 : kTxtHeight + 700;
        setFormSize(formWidth_, height);
        lokEvents();
        txtTxt[0]->setPlainText(toOverlay(cboText[0]->currentText()));
        txtTxt[1]->setPlainText(toOverlay(cboText[1]->currentText()));
        unlEvents();
        fraTxts->show();
        fraTxts->raise();
        txtTxt[0]->setFocus();
    } else {
        fraTxts->hide();
        cboText[0]->setEditText(fromOverlay(txtTxt[0]->toPlainText()));
        cboText[1]->setEditText(fromOverlay(txtTxt[1]->toPlainText()));
        seeFndPanels();
    }
}

void frmFind::seeFndLine()
{
    if (RichTextBox *box = activeBox())
        setWindowTitle(QStringLiteral("Found Text - Line: ") + QString::number(box->LineFromChar(box->SelStart())));
}

bool frmFind::opnRepPanel()
{
    if (ws().bRepOpen)
        return false;
    ws().bRepOpen = true;
    seeFndPanels();
    return true;
}

// --- the question panel --------------------------------------------------------

int16_t frmFind::askQText(const QString &text, int32_t style)
{
    const int low = style & 0xF;
    const int k = low == 3 ? 2 : low == 4 ? 1 : 0;
    answers::Question q;
    q.kind = QStringLiteral("box");
    q.title = windowTitle();
    q.text = text;
    q.buttons = k == 0 ? QStringList{QStringLiteral("OK")}
              : k == 1 ? QStringList{QStringLiteral("Yes"), QStringLiteral("No")}
                       : QStringList{QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("Cancel")};
    // Nothing is preselected on the panel; an unanswered question stays
    // on the safe side.
    q.defaultAnswer = q.buttons.last();
    const QString answer = answers::ask(q, [&]() -> QString {
        const QSize before = size();
        showQuestionPanel(k, text);
        iQAnswer = 2;
        // The window outlives the wait, whatever unloads it meanwhile, so
        // that the search that asked can end; an unload answers Cancel.
        ++waiting_;
        waiting::until({.done = [this] { return !picQBoz->isVisible() || isUnloading() || instance() != this; }});
        if (--waiting_ == 0 && deletePending_) {
            deletePending_ = false;
            deleteLater();
        }
        if (instance() != this)
            return QStringLiteral("Cancel"); // unloaded meanwhile
        setFixedSize(before);
        fraFox->setEnabled(!fraTxts->isVisible());
        return buttonName(iQAnswer);
    });
    if (answers::scripted())
        iQAnswer = int16_t(buttonResult(answer));
    if (iQAnswer == 0)
        iQAnswer = 2;
    return iQAnswer;
}

// Shows the yellow panel with text and the key set k, below the Find box, so
// that the text searched for stays in view beside the answer. The panel may
// be wider or higher than the window: the window grows for the question (and
// the asker puts its size back after it).
void frmFind::showQuestionPanel(int k, const QString &text)
{
    const QColor yellow = colorFromNumber(0x0080FFFF);
    for (QWidget *w : {static_cast<QWidget *>(fraQText), static_cast<QWidget *>(lblQText), static_cast<QWidget *>(picQBoz),
                       fraQKeys[0], fraQKeys[1], fraQKeys[2]}) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::Window, yellow);
        w->setPalette(pal);
    }
    for (QWidget *keys : fraQKeys)
        keys->hide();
    fraQKeys[k]->show();
    lblQText->setText(text);
    lblQText->move(px(20), px(20));
    lblQText->adjustSize();
    fraQText->setGeometry(px(80), px(80), lblQText->width() + px(40), lblQText->height() + px(40));
    int panelWidth = fraQText->width() + px(160);
    if (panelWidth < fraQKeys[k]->width()) {
        panelWidth = fraQKeys[k]->width();
        fraQText->move((panelWidth - fraQText->width()) / 2, fraQText->y());
    }
    const int panelHeight = fraQText->height() + px(80) + fraQKeys[0]->height();
    fraQKeys[k]->move((panelWidth - fraQKeys[k]->width()) / 2, fraQText->y() + fraQText->height());
    const int below = cboText[0]->mapTo(this, QPoint(0, cboText[0]->height())).y() + px(60);
    setFixedSize(std::max(width(), panelWidth), std::max({height(), panelHeight + px(350) / 2, below + panelHeight}));
    const int top = std::max(below, (height() - panelHeight) / 2);
    picQBoz->setGeometry((width() - panelWidth) / 2, top, panelWidth, panelHeight);
    fraFox->setEnabled(false);
    picQBoz->raise();
    picQBoz->show();
    if (!isVisible())
        show();
    raise();
    activateWindow();
    cmdQKeys[k == 0 ? 0 : k == 1 ? 1 : 3]->setFocus();
    QApplication::beep();
}

void frmFind::cmdQKeys_Click(int index)
{
    static const int16_t answersByKey[6] = {1, 6, 7, 6, 7, 2};
    iQAnswer = answersByKey[index];
    picQBoz->hide();
    picQBoz->lower();
}

void frmFind::notice(int16_t mode, const QString &text)
{
    if (mode == 1)
        askQText(text, vbOKOnly);
    else
        boxNotice(text);
}

} // namespace vt
