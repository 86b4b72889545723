// The main window's bars: the cool bar with the standard and format toolbars,
// the ruler and the status bar with its line count and LED boxes.
#include "shell/frmMDI.h"

#include "platform/errors.h"

#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <span>

namespace vt {

namespace {

// A toolbar button: its key (also its text where it has no other), its theme
// icon, its tool tip, whether it holds a state, and where it has them a text
// of its own, a status tip that says what it needs, and its handler here.
struct Button {
    const char *key, *icon, *tip;
    bool checkable;
    const char *text = nullptr;
    const char *statusTip = nullptr;
    void (frmMDI::*handler)() = nullptr;
};

const Button kStandard[] = {
    {"New", "document-new", "New CFile", false},
    {"Open", "document-open", "Open CFile", false},
    {"Save", "document-save", "Save CFile", false},
    {"Print", "document-print", "Print", false},
    {"Search", "edit-find", "Find", false},
    {"Cut", "edit-cut", "Cut", false},
    {"Copy", "edit-copy", "Copy", false},
    {"Paste", "edit-paste", "Paste", false},
    {"Undo", "edit-undo", "Undo", false},
    {"Redo", "edit-redo", "Redo", false, nullptr,
     "Redo is not available: Edit > Undo takes back the last change."},
    {"WordWrap", "format-justify-fill", "Word Wrap", true},
    {"FullScreen", "view-fullscreen", "Full Screen", false},
    {"BTerminal", "utilities-terminal", "zEzede: the terminal window", true, nullptr,
     "The terminal window. Available while Interface > More is checked.", &frmMDI::tbrBTerminal_Click},
    // The port switch is also the way to open the link port again after a lost device.
    {"Connect", "network-wired", "Port On/Off", true, nullptr, nullptr, &frmMDI::tbrConnect_Click},
    {"Setup", "preferences-system", "CSetup: the port setup window", true, nullptr, nullptr, &frmMDI::tbrSetup_Click},
    {"Keypad", "input-keyboard", "zOvu: the remote-control panel", true, nullptr,
     "The remote-control panel. Available while Interface > More is checked."},
    {"Help", "help-browser", "Help", false},
};

const Button kFormat[] = {
    {"Bold", "format-text-bold", "Bold", true},
    {"Italic", "format-text-italic", "Italic", true},
    {"Underline", "format-text-underline", "Underline", true},
    {"StrikeThru", "format-text-strikethrough", "Strike Through", true},
    {"Left", "format-justify-left", "Align Left", true},
    {"Center", "format-justify-center", "Center", true},
    {"Right", "format-justify-right", "Align Right", true},
    {"Bullet", "format-list-unordered", "Bullets", true},
    {"TabLeft", "format-indent-less", "Outdent", false},
    {"TabRight", "format-indent-more", "Indent", false},
    {"CaseToLower", "", "Lower Case", false, "a"},
    {"CaseToUpper", "", "Upper Case", false, "A"},
    {"TruFont", "preferences-desktop-font", "Font", false},
};

// The status bar's LED boxes: the mode box and the six LEDs.
const char *const kLedTips[7] = {
    "Jotrix:  Green=Shoot,  Yellow=Remote,  Gray=Edit,  Blue=TTY",
    "Calibration:  Green=Ok,  Yellow=Bad,  Gray=Uknown",
    "Sensors:  Green=On,  Yellow=Off,  Gray=Uknown",
    "High Speed:  Green=Off,  Yellow=On,  Gray=Uknown",
    "Archery:  Green=Off,  Yellow=On,  Gray=Uknown",
    "Rapid Fire:  Green=Off,  Yellow=On,  Gray=Uknown",
    "Chrono Power:  Green=On,  Yellow=Off,  Gray=Uknown",
};
const char *const kLedTexts[7] = {"Remo", "?", "S", "H", "A", "R", "P"};

// Adds the buttons to the bar, each addressed by its key.
void addButtons(frmMDI *mdi, QToolBar *bar, std::span<const Button> buttons)
{
    for (const Button &b : buttons) {
        const QString key = QString::fromLatin1(b.key);
        QAction *a = bar->addAction(QIcon::fromTheme(QString::fromLatin1(b.icon)), key);
        a->setObjectName(bar->objectName() + u'_' + key);
        a->setProperty("key", key);
        a->setToolTip(QString::fromLatin1(b.tip));
        a->setCheckable(b.checkable);
        if (b.text)
            a->setText(QString::fromLatin1(b.text));
        if (b.statusTip)
            a->setStatusTip(QString::fromLatin1(b.statusTip));
        if (b.handler) {
            const QString where = QStringLiteral("frmMDI/") + bar->objectName() + QStringLiteral("_ButtonClick(") + key + u')';
            QObject::connect(a, &QAction::triggered, mdi, [mdi, handler = b.handler, where] {
                guarded(where, [&] { (mdi->*handler)(); });
            });
        }
    }
}

} // namespace

void frmMDI::buildBars()
{
    // Outside a desktop session Qt knows no icon theme; the desktop's own
    // default theme still gives the buttons their pictures.
    if (!QIcon::hasThemeIcon(QStringLiteral("document-new")))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    // The cool bar holds the two toolbars as its bands, one above the other.
    cbrBar = new QToolBar(QStringLiteral("cbrBar"), this);
    cbrBar->setObjectName(QStringLiteral("cbrBar"));
    cbrBar->setMovable(false);
    cbrBar->setFloatable(false);
    cbrBar->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    auto *bands = new QWidget(cbrBar);
    auto *lay = new QVBoxLayout(bands);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    tbrStandard = new QToolBar(bands);
    tbrStandard->setObjectName(QStringLiteral("tbrStandard"));
    tbrFormat = new QToolBar(bands);
    tbrFormat->setObjectName(QStringLiteral("tbrFormat"));
    for (QToolBar *t : {tbrStandard, tbrFormat}) {
        t->setIconSize(QSize(16, 16));
        t->setToolButtonStyle(Qt::ToolButtonFollowStyle);
        lay->addWidget(t);
    }
    cbrBar->addWidget(bands);
    addToolBar(Qt::TopToolBarArea, cbrBar);
    addButtons(this, tbrStandard, kStandard);

    cboFontName = new QComboBox(tbrFormat);
    cboFontName->setObjectName(QStringLiteral("cboFontName"));
    cboFontName->setEditable(true);
    cboFontName->setMinimumContentsLength(14);
    cboFontSize = new QComboBox(tbrFormat);
    cboFontSize->setObjectName(QStringLiteral("cboFontSize"));
    cboFontSize->setEditable(true);
    cboFontSize->setMinimumContentsLength(3);
    txtFontColors = new QLineEdit(tbrFormat);
    txtFontColors->setObjectName(QStringLiteral("txtFontColors"));
    txtFontColors->setReadOnly(true);
    txtFontColors->setFixedWidth(24);
    txtFontColors->setToolTip(QStringLiteral("Font Color"));
    cboFontName->setToolTip(QStringLiteral("Font Name"));
    cboFontSize->setToolTip(QStringLiteral("Font Size"));
    for (QWidget *w : {static_cast<QWidget *>(cboFontName), static_cast<QWidget *>(cboFontSize),
                       static_cast<QWidget *>(txtFontColors)})
        w->setAccessibleName(w->toolTip());
    tbrFormat->addWidget(cboFontName);
    tbrFormat->addWidget(cboFontSize);
    tbrFormat->addWidget(txtFontColors);
    addButtons(this, tbrFormat, kFormat);

    buildStatusBar();
}

void frmMDI::buildStatusBar()
{
    addToolBarBreak(Qt::TopToolBarArea);
    cbrRuler = new QToolBar(QStringLiteral("cbrRuler"), this);
    cbrRuler->setObjectName(QStringLiteral("cbrRuler"));
    cbrRuler->setMovable(false);
    cbrRuler->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, cbrRuler);
    cbrRuler->setVisible(false);

    SXB = new QStatusBar(this);
    SXB->setObjectName(QStringLiteral("SXB"));
    setStatusBar(SXB);
    sxbLines = new QLabel(SXB);
    sxbLines->setObjectName(QStringLiteral("sxbLines"));
    sxbLines->setProperty("key", QStringLiteral("Lines"));
    // Sized once for the widest count, so that a new count repaints the label
    // alone instead of laying out and repainting the whole status bar.
    sxbLines->setText(QStringLiteral("Line:999,999,999 tot:999,999,999 "));
    sxbLines->setFixedSize(sxbLines->sizeHint());
    sxbLines->clear();
    SXB->addWidget(sxbLines, 1);
    // Names the CFile that takes the chronograph's shots while Shoot mode is on.
    sxbShots = new QLabel(SXB);
    sxbShots->setObjectName(QStringLiteral("sxbShots"));
    sxbShots->setVisible(false);
    SXB->addPermanentWidget(sxbShots);
    for (int i = 0; i < 7; ++i) {
        auto *led = new QLineEdit(QString::fromLatin1(kLedTexts[i]), SXB);
        led->setObjectName(QStringLiteral("txtLedsStatus"));
        led->setProperty("Index", i);
        led->setToolTip(QString::fromLatin1(kLedTips[i]));
        led->setReadOnly(true);
        led->setFocusPolicy(Qt::NoFocus);
        led->setAlignment(Qt::AlignCenter);
        led->setFixedWidth(i == 0 ? 48 : 22);
        SXB->addPermanentWidget(led);
        txtLedsStatus[i] = led;
    }

    picInsert = new QLabel(this);
    picInsert->setObjectName(QStringLiteral("picInsert"));
    picInsert->setVisible(false);
}

QToolBar *frmMDI::cbrBand(int band) const
{
    return band == 1 ? tbrStandard : band == 2 ? tbrFormat : nullptr;
}

void frmMDI::setBandVisible(int band, bool visible)
{
    if (QToolBar *t = cbrBand(band))
        t->setVisible(visible);
    cbrBar->setVisible(!tbrStandard->isHidden() || !tbrFormat->isHidden());
}

} // namespace vt
