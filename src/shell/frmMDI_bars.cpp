// The main window's bars: the cool bar with the standard and format toolbars,
// the ruler and the status bar with its line count and LED boxes.
#include "shell/frmMDI.h"

#include "platform/errors.h"
#include "platform/forms.h"

#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace vt {

QAction *frmMDI::addButton(QToolBar *bar, const QString &key, const char *icon, const QString &tip, bool checkable)
{
    QAction *a = bar->addAction(QIcon::fromTheme(QString::fromLatin1(icon)), key);
    a->setObjectName(bar->objectName() + u'_' + key);
    a->setProperty("key", key);
    a->setToolTip(tip);
    a->setCheckable(checkable);
    return a;
}

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

    struct B { const char *key, *icon, *tip; bool check; };
    static const B standard[] = {
        {"New", "document-new", "New CFile", false},
        {"Open", "document-open", "Open CFile", false},
        {"Save", "document-save", "Save CFile", false},
        {"Print", "document-print", "Print", false},
        {"Search", "edit-find", "Find", false},
        {"Cut", "edit-cut", "Cut", false},
        {"Copy", "edit-copy", "Copy", false},
        {"Paste", "edit-paste", "Paste", false},
        {"Undo", "edit-undo", "Undo", false},
        {"Redo", "edit-redo", "Redo", false},
        {"WordWrap", "format-justify-fill", "Word Wrap", true},
        {"FullScreen", "view-fullscreen", "Full Screen", false},
        {"BTerminal", "utilities-terminal", "zEzede: the terminal window", true},
        {"Connect", "network-wired", "Port On/Off", true},
        {"Setup", "preferences-system", "CSetup: the port setup window", true},
        {"Keypad", "input-keyboard", "zOvu: the remote-control panel", true},
        {"Help", "help-browser", "Help", false},
    };
    for (const B &b : standard)
        addButton(tbrStandard, QString::fromLatin1(b.key), b.icon, QString::fromLatin1(b.tip), b.check);
    // The port switch is also the way to open the link port again after a lost device.
    auto onButton = [this](const char *key, void (frmMDI::*handler)()) {
        const QString where = QStringLiteral("frmMDI/tbrStandard_ButtonClick(") + QString::fromLatin1(key) + u')';
        connect(toolButton(tbrStandard, QString::fromLatin1(key)), &QAction::triggered, this,
                [this, handler, where] { guarded(where, [&] { (this->*handler)(); }); });
    };
    onButton("BTerminal", &frmMDI::tbrBTerminal_Click);
    onButton("Connect", &frmMDI::tbrConnect_Click);
    onButton("Setup", &frmMDI::tbrSetup_Click);

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
    static const B format[] = {
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
        {"CaseToLower", "", "Lower Case", false},
        {"CaseToUpper", "", "Upper Case", false},
        {"TruFont", "preferences-desktop-font", "Font", false},
    };
    for (const B &b : format)
        addButton(tbrFormat, QString::fromLatin1(b.key), b.icon, QString::fromLatin1(b.tip), b.check);
    toolButton(tbrFormat, QStringLiteral("CaseToLower"))->setText(QStringLiteral("a"));
    toolButton(tbrFormat, QStringLiteral("CaseToUpper"))->setText(QStringLiteral("A"));

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
    static const char *const ledTips[7] = {
        "Jotrix:  Green=Shoot,  Yellow=Remote,  Gray=Edit,  Blue=TTY",
        "Calibration:  Green=Ok,  Yellow=Bad,  Gray=Uknown",
        "Sensors:  Green=On,  Yellow=Off,  Gray=Uknown",
        "High Speed:  Green=Off,  Yellow=On,  Gray=Uknown",
        "Archery:  Green=Off,  Yellow=On,  Gray=Uknown",
        "Rapid Fire:  Green=Off,  Yellow=On,  Gray=Uknown",
        "Chrono Power:  Green=On,  Yellow=Off,  Gray=Uknown",
    };
    static const char *const ledTexts[7] = {"Remo", "?", "S", "H", "A", "R", "P"};
    for (int i = 0; i < 7; ++i) {
        auto *led = new QLineEdit(QString::fromLatin1(ledTexts[i]), SXB);
        led->setObjectName(QStringLiteral("txtLedsStatus"));
        led->setProperty("Index", i);
        led->setToolTip(QString::fromLatin1(ledTips[i]));
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
