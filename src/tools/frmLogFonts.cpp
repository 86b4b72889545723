#include "tools/frmLogFonts.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/errors.h"
#include "platform/richtext.h"
#include "shell/frmMDI.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace vt {

namespace {

template <class W>
W *named(W *w, const char *name, const QString &tip = {})
{
    w->setObjectName(QString::fromLatin1(name));
    if (!tip.isEmpty())
        w->setToolTip(tip);
    return w;
}

QGroupBox *frame(QWidget *parent, const char *name, const QString &title)
{
    return named(new QGroupBox(title, parent), name);
}

const QString kResetTip = QStringLiteral("Reset all values - click here when in trouble");

} // namespace

frmLogFonts::frmLogFonts() : QDialog(frmMDI::instance())
{
    setObjectName(QStringLiteral("frmLogFonts"));
    setWindowTitle(QStringLiteral("Interface Fonts"));
    setModal(false);

    tbsMain = named(new QTabBar(this), "tbsMain");
    for (const char *tab : {"Keyboard", "Capture", "Errors", "Comments"})
        tbsMain->addTab(QString::fromLatin1(tab));
    tbsMain->setAccessibleName(QStringLiteral("Log kinds"));

    picTabs[0] = named(new QWidget(this), "picTabs");
    picTabs[0]->setProperty("Index", 0);
    QWidget *pane = picTabs[0];

    lblNote = named(new QLabel(QStringLiteral("Log lines are written in the CFile's font, shown here."), pane), "lblNote");
    lblNote->setWordWrap(true);

    Frame1 = frame(pane, "Frame1", {});
    lblFont = named(new QLabel(QStringLiteral("Font:"), Frame1), "lblFont", QStringLiteral("Select Font Size"));
    cmbFont = named(new QComboBox(Frame1), "cmbFont", QStringLiteral("Select Font Size"));
    cmbFont->setAccessibleName(QStringLiteral("Font:"));
    auto *fontBox = new QVBoxLayout(Frame1);
    fontBox->addWidget(lblFont);
    fontBox->addWidget(cmbFont);

    frmFontSize = frame(pane, "frmFontSize", {});
    Label1 = named(new QLabel(QStringLiteral("Size:"), frmFontSize), "Label1", QStringLiteral("Select Font Size"));
    cmbSize = named(new QComboBox(frmFontSize), "cmbSize", QStringLiteral("Select Font Size"));
    cmbSize->setAccessibleName(QStringLiteral("Size:"));
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        cmbSize->addItem(QString::number(size));
    auto *sizeBox = new QVBoxLayout(frmFontSize);
    sizeBox->addWidget(Label1);
    sizeBox->addWidget(cmbSize);

    frmFontType = frame(pane, "frmFontType", QStringLiteral("Type"));
    auto *typeBox = new QVBoxLayout(frmFontType);
    const char *types[4] = {"Regular", "Italic", "Bold", "Bold Italic"};
    for (int i = 0; i < 4; ++i) {
        optFonType[i] = named(new QRadioButton(QString::fromLatin1(types[i]), frmFontType), "optFonType");
        optFonType[i]->setProperty("Index", i);
        typeBox->addWidget(optFonType[i]);
    }

    const QString effectsTip = QStringLiteral("If checked, upon loading creating a new  CFile, this setup will be used");
    fraEffects = frame(pane, "fraEffects", QStringLiteral("Effects"));
    chkUnderline = named(new QCheckBox(QStringLiteral("Underline"), fraEffects), "chkUnderline", effectsTip);
    chkStrikeThru = named(new QCheckBox(QStringLiteral("Strike Thru"), fraEffects), "chkStrikeThru", effectsTip);
    auto *effects = new QVBoxLayout(fraEffects);
    effects->addWidget(chkUnderline);
    effects->addWidget(chkStrikeThru);

    fraColor = frame(pane, "fraColor", QStringLiteral("Colors"));
    cmdTextColor = named(new QPushButton(QStringLiteral("Text"), fraColor), "cmdTextColor", QStringLiteral("Select Color of the Text"));
    lblTextColor = named(new QLabel(fraColor), "lblTextColor");
    cmdBackground = named(new QPushButton(QStringLiteral("Background"), fraColor), "cmdBackground", QStringLiteral("Select Background Color"));
    lblBackGround = named(new QLabel(fraColor), "lblBackGround");
    for (QLabel *swatch : {lblTextColor, lblBackGround}) {
        swatch->setFixedSize(24, 16);
        swatch->setAutoFillBackground(true);
    }
    auto *colors = new QGridLayout(fraColor);
    colors->addWidget(cmdTextColor, 0, 0);
    colors->addWidget(lblTextColor, 0, 1);
    colors->addWidget(cmdBackground, 1, 0);
    colors->addWidget(lblBackGround, 1, 1);

    fraApplyTo = frame(pane, "fraApplyTo", QStringLiteral("Apply To"));
    auto *apply = new QVBoxLayout(fraApplyTo);
    const char *targets[5] = {"None", "Edit", "Shoot", "Remote", "ALL"};
    for (int i = 0; i < 5; ++i) {
        optApplyTo[i] = named(new QRadioButton(QString::fromLatin1(targets[i]), fraApplyTo), "optApplyTo");
        optApplyTo[i]->setProperty("Index", i);
        apply->addWidget(optApplyTo[i]);
    }
    optApplyTo[0]->setChecked(true);

    auto *paneGrid = new QGridLayout(pane);
    paneGrid->addWidget(lblNote, 0, 0, 1, 3);
    paneGrid->addWidget(Frame1, 1, 0, 1, 2);
    paneGrid->addWidget(frmFontSize, 1, 2);
    paneGrid->addWidget(frmFontType, 2, 0);
    paneGrid->addWidget(fraEffects, 2, 1);
    paneGrid->addWidget(fraColor, 2, 2);
    paneGrid->addWidget(fraApplyTo, 3, 0);

    cmdXFont = named(new QPushButton(QStringLiteral("XFont"), this), "cmdXFont", kResetTip);
    cmdRestore = named(new QPushButton(QStringLiteral("Restore"), this), "cmdRestore", kResetTip);
    cmdRest = named(new QPushButton(QStringLiteral("Reset"), this), "cmdRest", kResetTip);
    cmdSave = named(new QPushButton(QStringLiteral("Save"), this), "cmdSave",
                    QStringLiteral("Save this Default - but do not apply it to  the CFile"));
    cmdClose = named(new QPushButton(QStringLiteral("Ok"), this), "cmdClose",
                     QStringLiteral("Apply to CFile and Save this Default"));
    cmdCancel = named(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel",
                      QStringLiteral("Cancel all operations"));

    // Nothing here is kept or applied: the controls that would change a font
    // are shown disabled rather than accepting a choice that goes nowhere.
    // Ok and Cancel close the window.
    for (QWidget *w : std::initializer_list<QWidget *>{Frame1, frmFontSize, frmFontType, fraEffects, fraColor, fraApplyTo,
                                                       cmdXFont, cmdRestore, cmdRest, cmdSave})
        w->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {cmdXFont, cmdRestore, cmdRest, cmdSave})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    buttons->addWidget(cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tbsMain);
    layout->addWidget(pane);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(tbsMain, &QTabBar::currentChanged, this,
            [this] { guarded(QStringLiteral("frmLogFonts/tbsMain_Click"), [this] { tbsMain_Click(); }); });
    connect(cmdClose, &QPushButton::clicked, this,
            [this] { guarded(QStringLiteral("frmLogFonts/cmdClose_Click"), [this] { unload(); }); });
    connect(cmdCancel, &QPushButton::clicked, this,
            [this] { guarded(QStringLiteral("frmLogFonts/cmdCancel_Click"), [this] { unload(); }); });
}

frmLogFonts::~frmLogFonts() { disconnect(tbsMain, nullptr, this, nullptr); }

void frmLogFonts::Form_Load()
{
    cmbFont->addItems(QFontDatabase::families());
    frmDocument *doc = ActiveForm();
    if (!doc)
        return;
    // The font in which the next log line of the active CFile is written:
    // the format at the end of its text.
    RichTextBox *box = doc->rtfText;
    QTextCursor end(box->document());
    end.movePosition(QTextCursor::End);
    const QTextCharFormat format = end.charFormat();
    const QFont font = format.font();
    const QString family = font.families().isEmpty() ? font.family() : font.families().first();
    const int at = cmbFont->findText(family, Qt::MatchFixedString);
    if (at >= 0)
        cmbFont->setCurrentIndex(at);
    else {
        cmbFont->insertItem(0, family);
        cmbFont->setCurrentIndex(0);
    }
    const QString size = QString::number(qRound(font.pointSizeF() > 0 ? font.pointSizeF() : 10));
    const int sizeAt = cmbSize->findText(size);
    if (sizeAt >= 0)
        cmbSize->setCurrentIndex(sizeAt);
    else {
        cmbSize->insertItem(0, size);
        cmbSize->setCurrentIndex(0);
    }
    optFonType[(font.bold() ? 2 : 0) + (font.italic() ? 1 : 0)]->setChecked(true);
    chkUnderline->setChecked(font.underline());
    chkStrikeThru->setChecked(font.strikeOut());
    const auto paint = [](QLabel *swatch, const QColor &c) {
        QPalette p = swatch->palette();
        p.setColor(QPalette::Window, c);
        swatch->setPalette(p);
    };
    paint(lblTextColor, format.foreground().style() == Qt::NoBrush ? box->palette().color(QPalette::Text)
                                                                  : format.foreground().color());
    paint(lblBackGround, box->BackColor());
}

void frmLogFonts::tbsMain_Click()
{
    const QString caption = tbsMain->tabText(tbsMain->currentIndex());
    if (caption == u"Keyboard")
        picTabs[0]->setVisible(true);
    else if (caption == u"Capture" || caption == u"Errors" || caption == u"Comments")
        picTabs[0]->setVisible(false);
}

void frmLogFonts::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmLogFonts::reject() { unload(); }

} // namespace vt
