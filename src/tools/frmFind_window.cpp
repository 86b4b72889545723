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

} // namespace vt
