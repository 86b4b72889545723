#include "tools/frmFind.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/answers.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/settings.h"
#include "platform/timers.h"
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

namespace vt {

namespace {

const QString kCRLF = QStringLiteral("\r\n");
const QString kSection = QStringLiteral("frmMDI");
const QString kFindHistKey = QStringLiteral("SearchFindHistory");
const QString kReplHistKey = QStringLiteral("SearchReplaceHistory");
const QString kTopKey = QStringLiteral("SearchWindowTop");
const QString kLeftKey = QStringLiteral("SearchWindowLeft");
const QString kEmptyHint = QStringLiteral("Enter your text here...");
// The glyphs of the labels that act as buttons: open, closed, and the pointer.
const QString kGlyphOne = QString(QChar(0x25BC));
const QString kGlyphZero = QString(QChar(0x25B6));
const QString kGlyphPointer = QString(QChar(0x25C4));

// Height of the window's title bar and frame, and width of its frame, in
// twips: the layout's heights and widths are those of the whole window.
constexpr int kChromeHeight = 350;
constexpr int kChromeWidth = 90;
// Design sizes the layout reckons with, in twips.
constexpr int kFoxWidth = 4975;
constexpr int kFoxHeight = 2050;
constexpr int kMainTop = 800;
constexpr int kMainHeight = 1250;
constexpr int kReplTop = 400;
constexpr int kReplHeight = 435;
constexpr int kExpRefHeight = 850;
constexpr int kGlyph0Width = 120; // lblMore(0)
constexpr int kGlyph1Width = 195; // lblMore(1)
constexpr int kTxtsHeight = 3700;
constexpr int kTxtHeight = 1525;

// The window's state that lasts for the run, across its unloads.
struct WinState {
    int iHgtFull = 0;
    int iTopMain = 0;
    int iTopRepl = 0;
    int iHgtRepl = 0;
    bool bRepOpen = false;
    bool bExtOpen = false;
    bool bSpcOpen = false;
    int lngLeft = 0;
    int lngTop = 0;
};
WinState &ws()
{
    static WinState s;
    return s;
}

// The window is drawn in twips for a narrow dialog font; at the default font
// its captions need more room. Every size and offset inside the window grows
// by one factor, taken from the captions themselves, so the window keeps its
// shape and each text is whole. Positions on the screen stay plain twips.
double &textScale()
{
    static double scale = 1.0;
    return scale;
}
int px(int twips) { return int(std::lround(TwipsToPixels(twips) * textScale())); }

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


void setFindNextMenu(bool on)
{
    if (frmMDI *mdi = frmMDI::instance(); mdi && mdi->mnuSearchFindNext)
        mdi->mnuSearchFindNext->setEnabled(on);
}

QString cut(const QString &text) { return text.left(kFindTextMax); }

// The overlay's boxes break lines with LF; the CFile's text with CR LF.
QString fromOverlay(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\n', kCRLF); }
QString toOverlay(QString text) { return text.replace(kCRLF, QStringLiteral("\n")); }

void boxNotice(const QString &text) { MsgBox(text, vbOKOnly | vbSystemModal | vbMsgBoxSetForeground); }

} // namespace

void ClickLabel::mouseReleaseEvent(QMouseEvent *e)
{
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked();
}

bool frmFind::bRepOpen() { return ws().bRepOpen; }
double frmFind::captionScale() { return textScale(); }
bool frmFind::bExtOpen() { return ws().bExtOpen; }
bool frmFind::bSpcOpen() { return ws().bSpcOpen; }

// --- the window's controls ---------------------------------------------------

frmFind::frmFind() : QDialog(frmMDI::instance())
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("Find text"));
    textScale() = 1.0;
    setModal(false);

    const auto name = [](QWidget *w, const QString &n, const QString &tip = {}) {
        w->setObjectName(n);
        if (!tip.isEmpty())
            w->setToolTip(tip);
    };
    const auto glyph = [&](QWidget *parent, const QString &n, const QString &g, const QString &tip, int l, int t, int wd,
                           int h) {
        auto *lab = new ClickLabel(g, parent);
        name(lab, n, tip);
        lab->setAccessibleName(tip.isEmpty() ? QStringLiteral("Not Activated Yet") : tip);
        QFont f = lab->font();
        f.setBold(true);
        f.setPointSizeF(8.25);
        lab->setFont(f);
        lab->setCursor(Qt::PointingHandCursor);
        place(lab, l, t, wd, h);
        return lab;
    };
    const auto textLabel = [&](QWidget *parent, const QString &n, const QString &caption, const QString &tip, int l,
                               int t, int wd, int h) {
        auto *lab = new ClickLabel(caption, parent);
        name(lab, n, tip);
        lab->setAccessibleName(caption);
        place(lab, l, t, wd, h);
        return lab;
    };
    const auto button = [&](QWidget *parent, const QString &n, const QString &caption, const QString &tip, int l, int t,
                            int wd, int h) {
        auto *b = new QPushButton(caption, parent);
        name(b, n, tip);
        b->setAutoDefault(false);
        place(b, l, t, wd, h);
        return b;
    };
    const auto check = [&](QWidget *parent, const QString &n, const QString &caption, const QString &tip, int l, int t,
                           int wd, int h) {
        auto *c = new QCheckBox(caption, parent);
        name(c, n, tip);
        place(c, l, t, wd, h);
        return c;
    };
    const auto combo = [&](QWidget *parent, const QString &n, const QString &accessible, const QString &tip) {
        auto *c = new QComboBox(parent);
        name(c, n, tip);
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->lineEdit()->setMaxLength(1 << 24);
        c->setAccessibleName(accessible);
        return c;
    };

    fraFox = new QWidget(this);
    name(fraFox, QStringLiteral("fraFox"));
    place(fraFox, 0, 120, 4975, 2050);

    lblMoreX = glyph(fraFox, QStringLiteral("lblMoreX"), kGlyphOne, QStringLiteral("Hide Special Features"), 100, 60, 225, 180);
    lblFind = textLabel(fraFox, QStringLiteral("lblFind"), QStringLiteral("Find:"),
                        QStringLiteral("Click Here To Copy Selected Block From Active CFile"), 390, 20, 420, 240);
    cboText[0] = combo(fraFox, QStringLiteral("cboText_0"), QStringLiteral("Find:"), {});
    place(cboText[0], 840, 0, 2655, 315);
    lblMore[0] = glyph(fraFox, QStringLiteral("lblMore_0"), kGlyphPointer, QStringLiteral("Clear Find History"), 3515, 80, 120, 180);
    lblMore[1] = glyph(fraFox, QStringLiteral("lblMore_1"), kGlyphZero, QStringLiteral("Expand-Reduce Setup"), 4665, 75, 195, 180);
    fraMore0 = new QWidget(fraFox);
    name(fraMore0, QStringLiteral("fraMore_0"), QStringLiteral("Reserved"));
    place(fraMore0, 600, 240, 50, 130);
    fraMore0->hide();

    fraReplace = new QWidget(fraFox);
    name(fraReplace, QStringLiteral("fraReplace"));
    fraReplace->setAccessibleName(QStringLiteral("Replace"));
    place(fraReplace, 0, 400, 4935, 435);
    lblReplace = textLabel(fraReplace, QStringLiteral("lblReplace"), QStringLiteral("Replace:"),
                           QStringLiteral("Click Here To Copy Selected Block From Active CFile"), 60, 0, 750, 240);
    cboText[1] = combo(fraReplace, QStringLiteral("cboText_1"), QStringLiteral("Replace:"),
                       QStringLiteral("Double Click to Copy Selected Block from CFile"));
    place(cboText[1], 840, 0, 2655, 315);
    lblMore[2] = glyph(fraReplace, QStringLiteral("lblMore_2"), kGlyphPointer, QStringLiteral("Clear Replace History"), 3515, 60, 120, 180);
    lblMore[3] = glyph(fraReplace, QStringLiteral("lblMore_3"), kGlyphOne, QStringLiteral("Show  Replace"), 4660, 60, 225, 180);

    fraMain = new QWidget(fraFox);
    name(fraMain, QStringLiteral("fraMain"));
    place(fraMain, 0, 800, 4900, 1250);
    fraHow = new QWidget(fraMain);
    name(fraHow, QStringLiteral("fraHow"));
    place(fraHow, 100, 0, 1500, 1200);
    chkWholeWord = check(fraHow, QStringLiteral("chkWholeWord"), QStringLiteral("&Whole Words"), QStringLiteral("Find Only Whole Words"), 0, 0, 1470, 225);
    chkMatchCase = check(fraHow, QStringLiteral("chkMatchCase"), QStringLiteral("&Match Case"), QStringLiteral("Find Only Matching Case"), 0, 240, 1245, 240);
    chkPatternMatch = check(fraHow, QStringLiteral("chkPatternMatch"), QStringLiteral("&Pattern Matching"), QStringLiteral("Sear As Per Pattern Setup"), 0, 480, 1550, 240);
    chkBlock = check(fraHow, QStringLiteral("chkBlock"), QStringLiteral("&Selected Block"), QStringLiteral("Search Withing Selected Block Only"), 0, 720, 1395, 240);
    chkFcsTrkOff = check(fraHow, QStringLiteral("chkFcsTrkOff"), QStringLiteral("CFile &Lock On"), QStringLiteral("Do Not Follow  Cursor Position In CFile"), 0, 960, 1395, 240);

    fraDrct = new QWidget(fraMain);
    name(fraDrct, QStringLiteral("fraDrct"));
    place(fraDrct, 1575, 0, 1920, 375);
    lblDrct = textLabel(fraDrct, QStringLiteral("lblDrct"), QStringLiteral("&Direction:"), QStringLiteral("Reset Text Search"), 0, 50, 660, 255);
    cmbDirection = new QComboBox(fraDrct);
    name(cmbDirection, QStringLiteral("cmbDirection"));
    cmbDirection->setAccessibleName(QStringLiteral("Direction:"));
    lblDrct->setBuddy(cmbDirection);
    place(cmbDirection, 720, 0, 1205, 315);

    fraWhere = new QWidget(fraMain);
    name(fraWhere, QStringLiteral("fraWhere"));
    place(fraWhere, 1750, 400, 1250, 725);
    const char *sheets[3][2] = {{"C&urent CFile", "Search Current CFile Only"},
                                {"&Other CFiles", "Search All CFiles Except Curent One"},
                                {"All CFiles", "Search All CFIles Including Curent One"}};
    const int sheetWidths[3] = {1300, 1250, 1095};
    for (int i = 0; i < 3; ++i) {
        chkSheet[i] = new QRadioButton(QString::fromLatin1(sheets[i][0]), fraWhere);
        name(chkSheet[i], QStringLiteral("chkSheet_%1").arg(i), QString::fromLatin1(sheets[i][1]));
        place(chkSheet[i], 0, 240 * i, sheetWidths[i], 225);
        chkSheet[i]->setEnabled(i == 0); // searching other CFiles is not offered
    }
    chkSheet[0]->setChecked(true);

    // The glyph labels lie beneath the buttons that may move over them.
    lblMore[4] = glyph(fraMain, QStringLiteral("lblMore_4"), kGlyphPointer, QStringLiteral("Reset Search Parameters Only"), 3515, 60, 120, 180);
    lblMore[5] = glyph(fraMain, QStringLiteral("lblMore_5"), kGlyphOne, QStringLiteral("Show  Replace"), 4660, 60, 225, 180);
    lblMore[6] = glyph(fraMain, QStringLiteral("lblMore_6"), kGlyphPointer, QStringLiteral("Expand Find &  Replace Windows"), 3180, 480, 120, 180);
    lblMore[7] = glyph(fraMain, QStringLiteral("lblMore_7"), kGlyphOne, QStringLiteral("Hide Extensions"), 4665, 460, 240, 180);
    lblMore[8] = glyph(fraMain, QStringLiteral("lblMore_8"), kGlyphPointer, {}, 3180, 840, 120, 180);
    lblMore[9] = glyph(fraMain, QStringLiteral("lblMore_9"), kGlyphZero, {}, 4665, 860, 240, 180);

    cmdFind = button(fraFox, QStringLiteral("cmdFind"), QStringLiteral("&Find"), QStringLiteral("Find Next Location"), 3650, 0, 990, 315);
    cmdFind->setDefault(true);
    cmdReplace[0] = button(fraReplace, QStringLiteral("cmdReplace_0"), QStringLiteral("&Replace"),
                           QStringLiteral("Replace Curren Location And Find Next One"), 3650, 0, 990, 315);
    cmdReplace[1] = button(fraMain, QStringLiteral("cmdReplace_1"), QStringLiteral("&Replace..."),
                           QStringLiteral("Replace Curren Location And Find Next One"), 3650, 0, 990, 315);
    cmdReplaceAll = button(fraMain, QStringLiteral("cmdReplaceAll"), QStringLiteral("Replace &All"), QStringLiteral("Replace All Found Text"), 3650, 0, 990, 315);
    cmdFndRst = button(fraMain, QStringLiteral("cmdFndRst"), QString(QChar(0x21BA)), QStringLiteral("Reset CFile Search Parameters"), 3320, 400, 300, 315);
    cmdFndRst->setAccessibleName(cmdFndRst->toolTip());
    cmdCancel = button(fraMain, QStringLiteral("cmdCancel"), QStringLiteral("&Cancel"), QStringLiteral("Cance Find End Exit,  Also Stop Replace All"), 3650, 400, 990, 315);
    QFont bold = cmdCancel->font();
    bold.setBold(true);
    cmdCancel->setFont(bold);
    const char *atTips[4] = {"Find Next Location", "Replace Current Location, And Stay Put", nullptr, nullptr};
    for (int i = 0; i < 4; ++i) {
        const bool small = i % 2 == 0;
        cmdRepAtt[i] = button(fraMain, QStringLiteral("cmdRepAtt_%1").arg(i), small ? QStringLiteral("@") : QStringLiteral("Replace@"),
                              atTips[i] ? QString::fromLatin1(atTips[i]) : QString(), small ? 3320 : 3650, i < 2 ? 800 : 1200,
                              small ? 300 : 990, 315);
        if (small && atTips[i])
            cmdRepAtt[i]->setAccessibleName(cmdRepAtt[i]->toolTip());
        if (i >= 2)
            cmdRepAtt[i]->hide(); // position anchors only
    }

    fraExpRef = new QWidget(this);
    name(fraExpRef, QStringLiteral("fraExpRef"));
    place(fraExpRef, 5040, 920, 615, 850);
    fraExpRef->hide();

    fraTxts = new QWidget(this);
    name(fraTxts, QStringLiteral("fraTxts"));
    fraTxts->setAutoFillBackground(true);
    place(fraTxts, 0, 0, 4885, 3700);
    const char *txtTips[2] = {"Copy Selected Text From CFile To Find", "Copy Selected Text From CFile To Replace"};
    for (int i = 0; i < 2; ++i) {
        fraTxt[i] = new QGroupBox(i == 0 ? QStringLiteral("Find") : QStringLiteral("Replace"), fraTxts);
        name(fraTxt[i], QStringLiteral("fraTxt_%1").arg(i), QString::fromLatin1(txtTips[i]));
        place(fraTxt[i], 0, i == 0 ? 0 : 1850, 4885, 1825);
        fraTxt[i]->installEventFilter(this);
        txtTxt[i] = new QPlainTextEdit(fraTxt[i]);
        name(txtTxt[i], QStringLiteral("txtTxt_%1").arg(i));
        txtTxt[i]->setAccessibleName(fraTxt[i]->title());
        txtTxt[i]->setLineWrapMode(QPlainTextEdit::NoWrap);
        txtTxt[i]->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        txtTxt[i]->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        place(txtTxt[i], 50, 240, 4795, 1525);
    }
    fraTxts->hide();

    picQBoz = new QFrame(this);
    name(picQBoz, QStringLiteral("picQBoz"));
    picQBoz->setFrameShape(QFrame::Box);
    picQBoz->setAutoFillBackground(true);
    fraQText = new QFrame(picQBoz);
    name(fraQText, QStringLiteral("fraQText"));
    fraQText->setAutoFillBackground(true);
    lblQText = new QLabel(fraQText);
    name(lblQText, QStringLiteral("lblQText"));
    const int keyWidths[3] = {1305, 2385, 2865};
    const char *keys[6] = {"Ok", "Yes", "No", "Yes", "No", "Cancel"};
    const int keySet[6] = {0, 1, 1, 2, 2, 2};
    int slot[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k) {
        fraQKeys[k] = new QWidget(picQBoz);
        name(fraQKeys[k], QStringLiteral("fraQKeys_%1").arg(k));
        fraQKeys[k]->setAutoFillBackground(true);
        fraQKeys[k]->resize(px(keyWidths[k]), px(450));
    }
    const uint32_t keyColours[6] = {0x00C0C0C0, 0x0000FF00, 0x008080FF, 0x0000FF00, 0x008080FF, 0x00FFFF80};
    for (int i = 0; i < 6; ++i) {
        const int k = keySet[i];
        auto *b = new QPushButton(QString::fromLatin1(keys[i]), fraQKeys[k]);
        name(b, QStringLiteral("cmdQKeys_%1").arg(i));
        b->setAutoDefault(false);
        QPalette pal = b->palette();
        pal.setColor(QPalette::Button, colorFromNumber(keyColours[i]));
        b->setPalette(pal);
        const int n = k + 1; // keys in this set
        const int gap = (keyWidths[k] - n * 700) / (n + 1);
        place(b, gap + slot[k]++ * (700 + gap), 85, 700, 280);
        cmdQKeys[i] = b;
        connect(b, &QPushButton::clicked, this,
                [this, i] { guarded(QStringLiteral("frmFind-cmdQKeys_Click"), [this, i] { cmdQKeys_Click(i); }); });
    }
    picQBoz->hide();

    // Drawn at the design's size, then grown to what the captions need.
    textScale() = neededScale(this);
    scalePlacement(this, textScale());

    // --- handlers -----------------------------------------------------------
    const auto onClick = [this](QAbstractButton *b, const QString &where, std::function<void()> handler) {
        connect(b, &QAbstractButton::clicked, this, [where, handler] { guarded(where, handler); });
    };
    const auto onLabel = [this](ClickLabel *l, const QString &where, std::function<void()> handler) {
        connect(l, &ClickLabel::clicked, this, [where, handler] { guarded(where, handler); });
    };
    onClick(cmdFind, QStringLiteral("frmFind-cmdFind_Click"), [this] { cmdFind_Click(); });
    for (int i = 0; i < 2; ++i)
        onClick(cmdReplace[i], QStringLiteral("frmFind-cmdReplace_Click"), [this, i] { cmdReplace_Click(i); });
    onClick(cmdReplaceAll, QStringLiteral("frmFind-cmdReplaceAll_Click"), [this] { cmdReplaceAll_Click(); });
    for (int i = 0; i < 2; ++i)
        onClick(cmdRepAtt[i], QStringLiteral("frmFind-cmdRepAtt_Click"), [this, i] { cmdRepAtt_Click(i); });
    onClick(cmdCancel, QStringLiteral("frmFind-cmdCancel_Click"), [this] { cmdCancel_Click(); });
    onClick(cmdFndRst, QStringLiteral("frmFind-cmdFndRst_Click"), [this] { cmdFndRst_Click(); });
    for (QCheckBox *c : {chkWholeWord, chkMatchCase, chkPatternMatch, chkBlock, chkFcsTrkOff})
        onClick(c, QStringLiteral("frmFind-chk_Click"), [this, c] { chkOption_Click(c); });
    for (int i = 0; i < 3; ++i)
        onClick(chkSheet[i], QStringLiteral("frmFind-chkSheet_Click"), [this, i] { chkSheet_Click(i); });
    for (int i = 0; i < 10; ++i)
        onLabel(lblMore[i], QStringLiteral("frmFind-lblMore_Click"), [this, i] { lblMore_Click(i); });
    onLabel(lblMoreX, QStringLiteral("frmFind-lblMoreX_Click"), [this] { lblMoreX_Click(); });
    onLabel(lblFind, QStringLiteral("frmFind-lblFind_Click"), [this] { lblFind_Click(); });
    onLabel(lblReplace, QStringLiteral("frmFind-lblReplace_Click"), [this] { lblReplace_Click(); });
    onLabel(lblDrct, QStringLiteral("frmFind-lblDrct_Click"), [this] { askRstCFile(); });
    connect(cmbDirection, &QComboBox::activated, this,
            [this] { guarded(QStringLiteral("frmFind-cmbDirection_Click"), [this] { cmbDirection_Click(); }); });
    for (int i = 0; i < 2; ++i)
        connect(cboText[i], &QComboBox::editTextChanged, this,
                [this, i] { guarded(QStringLiteral("frmFind-cboText_Change"), [this, i] { cboText_Change(i); }); });
}

frmFind::~frmFind()
{
    for (QComboBox *c : cboText)
        disconnect(c, nullptr, this, nullptr);
    disconnect(cmbDirection, nullptr, this, nullptr);
}

RichTextBox *frmFind::activeBox() const
{
    frmDocument *doc = ActiveForm();
    return doc ? doc->rtfText : nullptr;
}

void frmFind::setFormSize(int widthTwips, int heightTwips)
{
    formWidth_ = widthTwips;
    formHeight_ = heightTwips;
    setFixedSize(px(widthTwips - kChromeWidth), px(heightTwips - kChromeHeight));
}

// --- load and unload -----------------------------------------------------------

void frmFind::Form_Load()
{
    WinState &w = ws();
    if (FindOpened) {
        setFormSize(kFoxWidth, w.iHgtFull);
        move(TwipsToPixels(w.lngLeft), TwipsToPixels(w.lngTop));
    } else {
        w.iHgtFull = kFoxHeight + 475;
        setFormSize(kFoxWidth, w.iHgtFull);
        w.iTopMain = kMainTop;
        w.iTopRepl = kReplTop;
        w.iHgtRepl = kReplHeight;
        getFndWinPos();
        w.lngTop = PixelsToTwips(y());
        w.lngLeft = PixelsToTwips(x());
        w.bRepOpen = w.bExtOpen = w.bSpcOpen = false;
        rstSearch(FindState);
        getRec(0);
    }
    iQAnswer = 2;
    FindOpened = true;
    rstFndButtons();
    sel2Find(0);
    fillDirections();
    hst2Usr();
    restoreControls();
    cboText[0]->setFocus();
    seeFndPanels();
    arrButtons();
}

void frmFind::fillDirections()
{
    lokEvents();
    cmbDirection->clear();
    for (const FindDirection &d : findDirections())
        cmbDirection->addItem(d.key, int(d.code));
    unlEvents();
}

void frmFind::restoreControls()
{
    FindStateRec &s = FindState;
    lokEvents();
    cmbDirection->setCurrentIndex(0);
    if (directionKey(s.Direction).isEmpty())
        s.Direction = 0;
    chkWholeWord->setChecked(s.WholeWord);
    chkMatchCase->setChecked(s.MatchCase);
    chkPatternMatch->setChecked(s.PatternMatch);
    chkBlock->setChecked(s.BlockMode);
    chkFcsTrkOff->setChecked(!s.TrackFocus);
    if (s.SheetOption >= 0 && s.SheetOption < 3)
        chkSheet[s.SheetOption]->setChecked(true);
    cboText[0]->setEditText(s.FindText);
    cboText[1]->setEditText(s.ReplaceText);
    unlEvents();
}

void frmFind::Form_QueryUnload(int &cancel, int unloadMode)
{
    if (unloadMode != vbFormControlMenu)
        return;
    if (picQBoz->isVisible()) {
        iQAnswer = 2;
        picQBoz->hide();
        cancel = 1;
    } else if (fraTxts->isVisible()) {
        fraFox->setEnabled(true);
        arrTxtFrames();
        cancel = 1;
    }
}

void frmFind::Form_Unload(int &cancel)
{
    (void)cancel;
    // A question still waiting ends with Cancel; the window leaves the main
    // window, so that it is not destroyed with it before the wait has ended.
    if (picQBoz->isVisible()) {
        iQAnswer = 2;
        picQBoz->hide();
    }
    if (waiting_ > 0)
        setParent(nullptr, windowFlags());
    ResumeNext step;
    step([this] { getFndPars(); });
    step([this] { usr2Hst(); });
    ws().lngTop = PixelsToTwips(y());
    ws().lngLeft = PixelsToTwips(x());
    if (RichTextBox *box = activeBox())
        box->setFocus();
    Err.Clear();
}

void frmFind::closeEvent(QCloseEvent *e) { handleClose(e); }

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

// --- histories in the settings --------------------------------------------------

void frmFind::savRec(int16_t mode)
{
    if (mode == 1 && !FindOpened)
        return;
    if (frmFind *f = instance(); f && !f->isUnloading()) {
        // The window is still open: what its boxes hold now is what is kept.
        f->usr2Hst();
        ws().lngTop = PixelsToTwips(f->y());
        ws().lngLeft = PixelsToTwips(f->x());
    }
    FindStateRec &s = FindState;
    if (!trapErrors([&] {
            SaveSetting(AppTitle, kSection, kFindHistKey, hst2Txt(s.FindText, s.FindHistory));
            SaveSetting(AppTitle, kSection, kReplHistKey, hst2Txt(s.ReplaceText, s.ReplaceHistory));
        })) {
        seeErrLoc(QStringLiteral("frmFind-hst2Txt"));
        Err.Clear();
    }
    SaveSetting(AppTitle, kSection, kTopKey, QString::number(ws().lngTop));
    SaveSetting(AppTitle, kSection, kLeftKey, QString::number(ws().lngLeft));
}

void frmFind::getRec(int16_t mode)
{
    if (mode == 1 && !FindOpened)
        return;
    FindStateRec &s = FindState;
    if (!trapErrors([&] {
            txt2Hst(GetSetting(AppTitle, kSection, kFindHistKey), s.FindText, s.FindHistory);
            txt2Hst(GetSetting(AppTitle, kSection, kReplHistKey), s.ReplaceText, s.ReplaceHistory);
        })) {
        seeErrLoc(QStringLiteral("frmFind-txt2Hst"));
        Err.Clear();
    }
}

void frmFind::usr2Hst()
{
    FindStateRec &s = FindState;
    QStringList *lists[2] = {&s.FindHistory, &s.ReplaceHistory};
    QString *texts[2] = {&s.FindText, &s.ReplaceText};
    for (int i = 0; i < 2; ++i) {
        *texts[i] = cboText[i]->currentText();
        lists[i]->clear();
        for (int k = 0; k < cboText[i]->count(); ++k)
            *lists[i] << cboText[i]->itemText(k);
    }
}

void frmFind::hst2Usr()
{
    FindStateRec &s = FindState;
    const QStringList *lists[2] = {&s.FindHistory, &s.ReplaceHistory};
    const QString *texts[2] = {&s.FindText, &s.ReplaceText};
    lokEvents();
    for (int i = 0; i < 2; ++i) {
        cboText[i]->clear();
        cboText[i]->addItems(*lists[i]);
        cboText[i]->setEditText(*texts[i]);
    }
    unlEvents();
}

void frmFind::chkNewText(int16_t mode)
{
    FindStateRec &s = FindState;
    if (mode == 0)
        return;
    for (int k = 0; k < cboText[0]->count(); ++k)
        if (cboText[0]->itemText(k) == s.FindText)
            return;
    lokEvents();
    const QString current = cboText[0]->currentText();
    if (cboText[0]->count() >= kFindHistoryMax)
        cboText[0]->removeItem(cboText[0]->count() - 1);
    cboText[0]->insertItem(0, current);
    cboText[0]->setEditText(current);
    s.FindHistPending = false;
    unlEvents();
}

void frmFind::chkHstText()
{
    const QString replaceText = FindState.ReplaceText;
    for (int k = 0; k < cboText[1]->count(); ++k)
        if (cboText[1]->itemText(k) == replaceText)
            return;
    lokEvents();
    const QString current = cboText[1]->currentText();
    if (cboText[1]->count() >= kFindHistoryMax)
        cboText[1]->removeItem(cboText[1]->count() - 1);
    cboText[1]->insertItem(0, current);
    cboText[1]->setEditText(current);
    unlEvents();
}

// --- reading the window ---------------------------------------------------------

void frmFind::getFndPars()
{
    FindStateRec &s = FindState;
    s.Direction = cmbDirection->currentIndex() <= 0 ? 0 : int16_t(cmbDirection->currentData().toInt());
    s.WholeWord = chkWholeWord->isChecked();
    s.MatchCase = chkMatchCase->isChecked();
    s.PatternMatch = chkPatternMatch->isChecked();
    s.BlockMode = chkBlock->isChecked();
    s.TrackFocus = !chkFcsTrkOff->isChecked();
    s.SheetOption = 3;
    for (int i = 2; i >= 0; --i)
        if (chkSheet[i]->isChecked())
            s.SheetOption = int16_t(i);
    s.FindText = cboText[0]->currentText();
    makFndOpts(s);
    s.ReplaceText = cboText[1]->currentText();
}

bool frmFind::chkFndPars() const
{
    const FindStateRec &s = FindState;
    int16_t sheet = 3;
    for (int i = 2; i >= 0; --i)
        if (chkSheet[i]->isChecked())
            sheet = int16_t(i);
    const int16_t direction = cmbDirection->currentIndex() <= 0 ? 0 : int16_t(cmbDirection->currentData().toInt());
    return s.Direction == direction && s.WholeWord == chkWholeWord->isChecked()
        && s.MatchCase == chkMatchCase->isChecked() && s.PatternMatch == chkPatternMatch->isChecked()
        && s.BlockMode == chkBlock->isChecked() && s.TrackFocus == !chkFcsTrkOff->isChecked()
        && s.SheetOption == sheet && textEquals(s.FindText, cboText[0]->currentText(), s.HistCompare)
        && textEquals(s.ReplaceText, cboText[1]->currentText(), s.HistCompare);
}

void frmFind::setFindBoxText(int index, const QString &text)
{
    lokEvents();
    cboText[index]->setEditText(text);
    unlEvents();
}

// --- taking the selection --------------------------------------------------------

void frmFind::sel2Find(int16_t mode)
{
    if (hasOpenCFile())
        return;
    RichTextBox *box = activeBox();
    FindStateRec &s = FindState;
    box->SetHideSelection(false);
    s.SavedSelStart = box->SelStart();
    s.SavedSelLen = box->SelLength();
    s.BlockValid = false;
    const int length = s.SavedSelLen;
    if (s.BlockMode) {
        s.BlockValid = length > 0;
        s.BlockLen = length;
        s.BlockStart = s.SavedSelStart;
        s.BlockEnd = s.SavedSelStart + length;
        return;
    }
    lokEvents();
    if (askTruncCopy(mode, length, QStringLiteral("Find")) && length > 0) {
        s.FindText = cut(box->SelText());
        cboText[0]->setEditText(s.FindText);
    }
    unlEvents();
}

bool frmFind::askTruncCopy(int16_t mode, int length, const QString &name)
{
    if (length <= kFindTextMax)
        return true;
    const QString text = QStringLiteral("Selected text being copied to ''") + name + QStringLiteral(":'' is to long...!") + kCRLF
        + QStringLiteral("It will be truncated to (") + QString::number(kFindTextMax) + QStringLiteral(") characters.") + kCRLF
        + QStringLiteral("Copy Truncated Text Anyway.?");
    if (mode == 1)
        return askQText(text, vbYesNo) == vbYes;
    return MsgBox(text, vbYesNo | vbDefaultButton2 | vbSystemModal | vbMsgBoxSetForeground) == vbYes;
}

// --- buttons and panels ---------------------------------------------------------

void frmFind::rstFndButtons()
{
    FindStateRec &s = FindState;
    cmdFind->setText(QStringLiteral("&Find"));
    s.Found = s.FoundByNext = s.TextChanged = false;
    for (QPushButton *b : {cmdReplace[1], cmdReplace[0], cmdRepAtt[1], cmdReplaceAll})
        b->setEnabled(false);
    setFindNextMenu(false);
}

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
        const QColor yellow = colorFromNumber(0x0080FFFF);
        for (QWidget *w : {static_cast<QWidget *>(fraQText), static_cast<QWidget *>(lblQText), static_cast<QWidget *>(picQBoz)}) {
            QPalette pal = w->palette();
            pal.setColor(QPalette::Window, yellow);
            w->setPalette(pal);
        }
        for (QWidget *keys : fraQKeys) {
            QPalette pal = keys->palette();
            pal.setColor(QPalette::Window, yellow);
            keys->setPalette(pal);
            keys->hide();
        }
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
        // The panel stands below the Find box, so that the text searched for
        // stays in view beside the answer. It may be wider or higher than
        // the window: the window grows for the question and goes back to its
        // size after it.
        const QSize before = size();
        const int below = cboText[0]->mapTo(this, QPoint(0, cboText[0]->height())).y() + px(60);
        setFixedSize(std::max(width(), panelWidth),
                     std::max({height(), panelHeight + px(350) / 2, below + panelHeight}));
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
        iQAnswer = 2;
        ++waiting_;
        while (picQBoz->isVisible() && !isUnloading() && instance() == this)
            doEvents(50);
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

// --- the search ----------------------------------------------------------------

void frmFind::SetFound(int16_t code, int16_t mode, int position)
{
    FindStateRec &s = FindState;
    if (code == 0 || code == 3) {
        if (mode == 1) {
            cmdFind->setText(QStringLiteral("&Find"));
            if (ws().bRepOpen) {
                for (QPushButton *b : {cmdReplace[1], cmdReplace[0], cmdRepAtt[1], cmdReplaceAll})
                    b->setEnabled(false);
            } else {
                cmdReplace[1]->setEnabled(true);
            }
        }
        setFindNextMenu(false);
        s.Found = s.FoundByNext = false;
        if (s.ShowNotFound) {
            if (!s.FindText.isEmpty()) {
                QString text = QStringLiteral("Text Not Found");
                if (s.BlockValid && s.BlockMode)
                    text += QStringLiteral(" <Within Selected Block>");
                text += QStringLiteral("...!") + kCRLF + QStringLiteral("All of Specified  <") + directionKey(s.Direction)
                    + QStringLiteral(">  Region Searched. ") + kCRLF + directionDescription(s.Direction);
                notice(mode, text);
            } else {
                // The hint shows in the empty box without becoming the text.
                cboText[0]->lineEdit()->setPlaceholderText(kEmptyHint);
                notice(mode, QStringLiteral("There Is Nothing To Find..!") + kCRLF + QStringLiteral("Find: ''Is Empty...''"));
            }
        }
    } else {
        s.Found = true;
        s.FoundByNext = code == 2;
        s.NextPos = position;
        if (mode == 1) {
            for (QPushButton *b : {cmdRepAtt[1], cmdReplace[0], cmdReplace[1], cmdReplaceAll})
                b->setEnabled(true);
            cmdFind->setText(QStringLiteral("&Find Next"));
        }
        setFindNextMenu(true);
    }
    seeErrLoc(QStringLiteral("frmFind-SetFound"));
}

bool frmFind::searchLoop(int16_t code, int16_t mode)
{
    FindStateRec &s = FindState;
    RichTextBox *box = activeBox();
    // The backward search reads the whole text: once per search, not once
    // per skipped occurrence.
    QString text;
    bool haveText = false;
    for (;;) {
        int pos = -1;
        if (s.Backward) {
            if (!haveText) {
                text = box->Text();
                haveText = true;
            }
            do
                pos = fndBackwardIn(s, text);
            while (pos == -2);
            if (pos >= 0) {
                box->SetSelStart(pos);
                box->SetSelLength(int(s.FindText.size()));
            }
        } else {
            pos = s.FindText.isEmpty() ? -1 : box->Find(s.FindText, s.NextPos, s.LimitPos, s.FindOptions);
        }
        if (pos >= 0) {
            SetFound(code, mode, pos);
            s.LastHit = s.NextPos;
            return true;
        }
        if (s.WrapPasses < 1) {
            SetFound(0, mode, 0);
            return false;
        }
        s.NextPos = s.Backward ? s.DocEnd : s.TopPos;
        s.LimitPos = s.WrapLimit;
        --s.WrapPasses;
    }
}

bool frmFind::chkDocChanged()
{
    FindStateRec &s = FindState;
    frmDocument *doc = ActiveForm();
    if (!doc)
        return false;
    if (doc->Tag != s.LastCFileTag) {
        if (s.TrackFocus || !ShowWarn) {
            rstFndButtons();
            sel2Find(1);
        } else {
            if (askQText(QStringLiteral("CFile has changed...!") + kCRLF + QStringLiteral("Reset Find Parameters.?"), vbYesNo) != vbYes)
                return false;
            rstFndButtons();
        }
        s.LastCFileTag = doc->Tag;
    }
    return true;
}

int16_t frmFind::mexFind(int16_t how, int16_t mode)
{
    int16_t result = 0;
    if (!trapErrors([&] {
            FindStateRec &s = FindState;
            if (hasOpenCFile() || !chkDocChanged())
                return;
            RichTextBox *box = activeBox();
            if (s.PrevDirection != s.Direction)
                rstFndButtons();
            s.PrevDirection = s.Direction;
            makFndOpts(s);
            if (s.WrapPasses < 0)
                s.WrapPasses = 0;
            const auto take = [&](int P, int R) {
                if (!makHow(s, P, R, box->SelStart(), box->SelLength(), box->TextLength()))
                    seeErrLoc(QStringLiteral("frmFind-makHow"));
            };
            box->SetHideSelection(false);
            // Right after a replacement of the hit the search goes on behind
            // the replacement, whether or not it follows the cursor: the caret
            // (or the selected replacement) is where the replacement put it.
            const int selStart = box->SelStart();
            const int selLength = box->SelLength();
            const bool afterReplace = replacedCaret_ >= 0 && ActiveForm()->Tag == replacedTag_
                && ((selLength == 0 && selStart == replacedCaret_)
                    || (selStart == s.LastHit && selLength == s.LastReplLen && selStart + selLength == replacedCaret_));
            replacedCaret_ = -1;
            if (how >= 2 || s.Found || s.TextChanged) {
                bool onHit = textEquals(box->SelText(), s.FindText, s.CompareMode);
                bool atNext = selStart == s.NextPos;
                if (afterReplace && !s.Backward) {
                    onHit = atNext = true;
                    s.NextPos = s.LastHit + s.LastReplLen - int(s.FindText.size());
                } else if (afterReplace) {
                    onHit = atNext = true;
                }
                bool restarted = false;
                if (s.TrackFocus && !(onHit && atNext)) {
                    take(0, 10);
                    restarted = true;
                }
                if (((s.TextChanged || onHit) && atNext) || restarted) {
                    if (how < 2 && !restarted)
                        take(2, 0);
                    if (searchLoop(2, mode)) {
                        s.SavedSelStart = box->SelStart();
                        s.SavedSelLen = box->SelLength();
                        if (s.FindHistPending || !onHit)
                            chkNewText(mode);
                        result = onHit && atNext ? 3 : 2;
                    }
                } else {
                    SetFound(3, mode, selStart);
                    result = -1;
                }
            } else {
                take(0, 0);
                if (searchLoop(1, mode)) {
                    chkNewText(mode);
                    result = 1;
                }
            }
            if (result > 0) {
                s.SavedSelStart = box->SelStart();
                s.SavedSelLen = box->SelLength();
            } else {
                box->SetSelStart(s.SavedSelStart);
                box->SetSelLength(s.SavedSelLen);
            }
            s.TextChanged = false;
        })) {
        seeErrLoc(QStringLiteral("frmFind-mexFind"));
        Err.Clear();
    }
    return result;
}

int16_t frmFind::doReplace(bool doIt)
{
    FindStateRec &s = FindState;
    RichTextBox *box = activeBox();
    if (!box)
        return 0;
    const int selStart = box->SelStart();
    const QString selText = box->SelText();
    if (doIt) {
        if (s.LastHit == s.NextPos && selStart == s.NextPos && textEquals(selText, s.FindText, s.CompareMode)) {
            box->SetSelText(s.ReplaceText);
            s.LastReplLen = int(s.ReplaceText.size());
            if (!s.Backward) {
                const int delta = int(s.ReplaceText.size() - s.FindText.size());
                s.NextPos += delta;
                s.LimitPos += delta;
            }
            replacedCaret_ = s.LastHit + s.LastReplLen;
            replacedTag_ = ActiveForm()->Tag;
            return 1;
        }
        return 0;
    }
    if (textEquals(selText, s.FindText, s.CompareMode) && selStart == s.NextPos && box->SelLength() == s.FindText.size())
        return 1;
    if (selStart == s.LastHit && textEquals(selText, s.ReplaceText, s.CompareMode))
        return 2;
    return 0;
}

void frmFind::mexReplace(int16_t mode)
{
    if (!trapErrors([&] {
            if (doReplace(true) == 1) {
                chkHstText();
                mexFind(0, mode);
            } else {
                mexFind(2, mode);
            }
            if (RichTextBox *box = activeBox())
                box->setFocus();
        })) {
        seeErrLoc(QStringLiteral("frmFind-mexReplace"));
        Err.Clear();
    }
}

bool frmFind::replaceAllInOnePass()
{
    // The first hit is selected; every further one is found in the same
    // text, in one pass, and all are replaced as one edit.
    FindStateRec &s = FindState;
    RichTextBox *box = activeBox();
    const QString text = box->Text();
    const QList<int> hits = planReplaceAll(text, s.NextPos, s.LimitPos, s.FindText, s.ReplaceText, s.FindOptions);
    if (hits.isEmpty() || hits.first() != s.NextPos)
        return false;
    box->ReplaceRanges(hits, int(s.FindText.size()), s.ReplaceText);
    const int flen = int(s.FindText.size());
    const int rlen = int(s.ReplaceText.size());
    const int delta = rlen - flen;
    const int total = int(hits.size());
    s.ReplCount = total;
    s.LastHit = hits.last() + (total - 1) * delta;
    s.LastReplLen = rlen;
    s.SavedSelStart = s.LastHit;
    s.SavedSelLen = flen;
    s.NextPos = s.LastHit + rlen;
    s.LimitPos += total * delta;
    // The search behind the last replacement found nothing more.
    SetFound(0, 1, 0);
    return true;
}

void frmFind::mexReplaceAll(int16_t mode)
{
    (void)mode;
    if (!trapErrors([&] {
            FindStateRec &s = FindState;
            RichTextBox *box = activeBox();
            const int keptStart = box ? box->SelStart() : 0;
            const int keptLength = box ? box->SelLength() : 0;
            const int16_t keptDirection = s.Direction;
            // Its first search covers the whole region whatever was typed
            // since the last one.
            s.Found = s.FoundByNext = s.TextChanged = false;
            s.Direction = 0;
            s.ReplCount = 0;
            struct Restore {
                int16_t direction;
                ~Restore() { FindState.Direction = direction; FindState.ShowNotFound = true; }
            } restore{keptDirection};
            if (mexFind(0, 1) >= 1) {
                s.ShowNotFound = false;
                box = activeBox();
                if (!replaceAllInOnePass()) {
                    // Not where the plan expects the first hit: one by one.
                    for (;;) {
                        if (doReplace(true) < 1)
                            break;
                        ++s.ReplCount;
                        if (mexFind(0, 1) < 1)
                            break;
                        if (!s.Found && !s.FoundByNext)
                            break;
                    }
                }
                s.ShowNotFound = true;
                if (s.ReplCount > 0) {
                    box->SetSelStart(s.LastHit);
                    box->SetSelLength(s.LastReplLen);
                    askQText(QStringLiteral("CFile was searched from Top --> Bottom.") + kCRLF
                                 + QStringLiteral("Number of items replaced - ") + QString::number(s.ReplCount),
                             vbOKOnly);
                }
            }
            box = activeBox();
            if (box) {
                if (s.ReplCount > 0) {
                    box->SetSelStart(s.LastHit);
                    box->SetSelLength(s.LastReplLen);
                } else {
                    box->SetSelStart(std::min(keptStart, box->TextLength()));
                    box->SetSelLength(keptLength);
                }
                box->setFocus();
            }
        })) {
        seeErrLoc(QStringLiteral("frmFind-mexReplaceAll"));
        Err.Clear();
    }
}

// --- entries from the main window ------------------------------------------------

void frmFind::lodFind()
{
    RichTextBox *box = activeBox();
    if (box && box->SelLength() > 0) {
        const QString text = cut(box->SelText());
        if (fraTxts->isVisible()) {
            lokEvents();
            txtTxt[0]->setPlainText(toOverlay(text));
            unlEvents();
        } else {
            cboText[0]->setEditText(text);
        }
    }
    rstFndButtons();
}

void frmFind::mdiFindReplace()
{
    ws().bRepOpen = true;
    if (!chkFndPars())
        getFndPars();
    seeFndPanels();
    RichTextBox *box = activeBox();
    if (box && box->SelLength() > 0 && !FindState.BlockMode) {
        const QString text = cut(box->SelText());
        if (fraTxts->isVisible()) {
            txtTxt[1]->setPlainText(toOverlay(text));
        } else {
            setFindBoxText(1, text);
        }
    }
}

void frmFind::mdiFindNext()
{
    if (!chkFndPars())
        getFndPars();
    mexFind(0, 0);
}

// --- the window's handlers --------------------------------------------------------

void frmFind::cmdFind_Click()
{
    if (hasOpenCFile())
        return;
    ResumeNext step;
    step([this] {
        if (!chkFndPars())
            getFndPars();
    });
    step([this] { mexFind(0, 1); });
    step([this] {
        if (FindState.Found)
            seeFndLine();
    });
    step([] { setActDocFocus(); });
    Err.Clear();
}

void frmFind::cmdReplace_Click(int index)
{
    (void)index;
    if (hasOpenCFile())
        return;
    if (opnRepPanel())
        return;
    ResumeNext step;
    step([this] {
        if (!chkFndPars())
            getFndPars();
    });
    step([this] {
        if (doReplace(false) == 1) {
            mexReplace(1);
            if (FindState.Found)
                seeFndLine();
        } else {
            mexFind(1, 2);
        }
    });
    step([] { setActDocFocus(); });
    Err.Clear();
}

void frmFind::cmdReplaceAll_Click()
{
    if (!chkFndPars())
        getFndPars();
    if (hasOpenCFile())
        return;
    if (opnRepPanel())
        return;
    if (ShowWarn && askQText(QStringLiteral("Replace All Found Items..?"), vbYesNo) != vbYes)
        return;
    mexReplaceAll(1);
    if (RichTextBox *box = activeBox())
        box->setFocus();
    setActDocFocus();
}

void frmFind::cmdRepAtt_Click(int index)
{
    if (index == 0) {
        mexFind(0, 1);
        setActDocFocus();
        return;
    }
    if (!ws().bRepOpen) {
        ws().bRepOpen = true;
        seeFndPanels();
        return;
    }
    const QString cannot = QStringLiteral("Can not replace this text...!") + kCRLF;
    switch (doReplace(false)) {
    case 0:
        askQText(cannot + QStringLiteral("Current Cursor Location Is Invalid.") + kCRLF + QStringLiteral("It Has Been Changed."), vbOKOnly);
        break;
    case 1:
        if (doReplace(true) == 1) {
            chkHstText();
            RichTextBox *box = activeBox();
            box->SetSelStart(FindState.LastHit);
            box->SetSelLength(FindState.LastReplLen);
            box->setFocus();
        }
        break;
    default:
        askQText(cannot + QStringLiteral("It has already been replaced.") + kCRLF + QStringLiteral("Press [@] or [Find] to find next."), vbOKOnly);
        break;
    }
    setActDocFocus();
}

void frmFind::cmdCancel_Click() { unload(); }

void frmFind::cmdFndRst_Click() { askRstCFile(); }

void frmFind::askRstCFile()
{
    if (askQText(QStringLiteral("Reset CFile Search Parameters..?"), vbYesNo) != vbYes)
        return;
    rstFndButtons();
    sel2Find(1);
}

void frmFind::askRstSearch()
{
    if (askQText(QStringLiteral("Reset Search Parameters?"), vbYesNo) != vbYes)
        return;
    if (hasOpenCFile())
        return;
    getFndPars();
    rstFndButtons();
    if (RichTextBox *box = activeBox())
        box->setFocus();
}

void frmFind::clearHistory(int index)
{
    const QString question = index == 0 ? QStringLiteral("Clear Find History?") : QStringLiteral("Clear Replace History?");
    if (askQText(question, vbYesNo) == vbYes) {
        lokEvents();
        const QString text = cboText[index]->currentText();
        cboText[index]->clear();
        cboText[index]->setEditText(text);
        unlEvents();
        if (index == 0)
            FindState.FindHistPending = true;
    }
}

void frmFind::lblMore_Click(int index)
{
    WinState &w = ws();
    switch (index) {
    case 0:
    case 2:
        clearHistory(index == 0 ? 0 : 1);
        seeFndPanels();
        break;
    case 1:
    case 8:
    case 9:
        askQText(QStringLiteral("Not Activated Yet...!"), vbOKOnly);
        seeFndPanels();
        break;
    case 3:
    case 5:
        w.bRepOpen = !w.bRepOpen;
        getFndPars();
        seeFndPanels();
        break;
    case 4:
        askRstSearch();
        seeFndPanels();
        break;
    case 6:
        fraFox->setEnabled(false);
        arrTxtFrames();
        break;
    case 7:
        w.bExtOpen = !w.bExtOpen;
        seeFndPanels();
        break;
    default:
        break;
    }
}

void frmFind::lblMoreX_Click()
{
    ws().bSpcOpen = !ws().bSpcOpen;
    arrButtons();
}

void frmFind::lblFind_Click()
{
    if (hasOpenCFile())
        return;
    RichTextBox *box = activeBox();
    FindStateRec &s = FindState;
    lokEvents();
    const int length = box->SelLength();
    if (askTruncCopy(1, length, QStringLiteral("Find")) && length > 0) {
        const QString text = cut(box->SelText());
        if (text != s.FindText) {
            s.Found = false;
            s.FindText = text;
            cboText[0]->setEditText(text);
        }
    }
    unlEvents();
}

void frmFind::lblReplace_Click()
{
    if (hasOpenCFile())
        return;
    RichTextBox *box = activeBox();
    lokEvents();
    const int length = box->SelLength();
    if (askTruncCopy(1, length, QStringLiteral("Replace")) && length > 0) {
        FindState.ReplaceText = cut(box->SelText());
        cboText[1]->setEditText(FindState.ReplaceText);
    }
    unlEvents();
}

void frmFind::fraTxt_Click(int index)
{
    RichTextBox *box = activeBox();
    if (box && box->SelLength() > 0)
        txtTxt[index]->setPlainText(toOverlay(box->SelText()));
}

void frmFind::chkOption_Click(QCheckBox *box)
{
    FindStateRec &s = FindState;
    const bool on = box->isChecked();
    if (box == chkWholeWord)
        s.WholeWord = on;
    else if (box == chkMatchCase)
        s.MatchCase = on;
    else if (box == chkPatternMatch)
        s.PatternMatch = on;
    else if (box == chkBlock)
        s.BlockMode = on;
    else if (box == chkFcsTrkOff)
        s.TrackFocus = !on;
    seeFndPanels();
}

void frmFind::chkSheet_Click(int index)
{
    FindState.SheetOption = int16_t(index);
    seeFndPanels();
}

void frmFind::cmbDirection_Click()
{
    FindState.Direction = cmbDirection->currentIndex() <= 0 ? 0 : int16_t(cmbDirection->currentData().toInt());
    seeFndPanels();
}

void frmFind::cboText_Change(int index)
{
    if (bLockEvt)
        return;
    FindStateRec &s = FindState;
    const QString text = cboText[index]->currentText();
    if (text.size() > kFindTextMax) {
        const QString question = fndKind(index) + QStringLiteral(" text is to long..!") + kCRLF + QStringLiteral("You can only enter (")
            + QString::number(kFindTextMax) + QStringLiteral(") characters.") + kCRLF + QStringLiteral("Continue Anyway.?");
        if (askQText(question, vbYesNo) != vbYes)
            return;
    }
    if (index == 0) {
        if (!textEquals(text, s.FindText, s.HistCompare))
            s.TextChanged = s.FindHistPending = true;
        RichTextBox *box = activeBox();
        s.Found = box && textEquals(text, s.FindText, s.HistCompare)
            && textEquals(box->SelText().left(s.FindText.size()), s.FindText, s.HistCompare);
    }
    seeFndPanels();
    makFndOpts(s);
}

} // namespace vt
