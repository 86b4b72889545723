#include "tools/frmLogFonts.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/richtext.h"
#include "shell/frmMDI.h"
#include "tools/modFormats.h"

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

#include <iterator>

namespace vt {

namespace {

QGroupBox *frame(QWidget *parent, const char *name, const QString &title)
{
    return controls::named(new QGroupBox(title, parent), QString::fromLatin1(name));
}

const QString kResetTip = QStringLiteral("Reset all values - click here when in trouble");

} // namespace

frmLogFonts::frmLogFonts() : QDialog(frmMDI::instance())
{
    setObjectName(QStringLiteral("frmLogFonts"));
    setWindowTitle(QStringLiteral("Interface Fonts"));
    setModal(false);

    tbsMain = new QTabBar(this);
    for (const char *tab : {"Keyboard", "Capture", "Errors", "Comments"})
        tbsMain->addTab(QString::fromLatin1(tab));
    controls::named(tbsMain, QStringLiteral("tbsMain"), QStringLiteral("Log kinds"));
    QWidget *pane = buildKeyboardPane();
    QHBoxLayout *buttons = buildCommandRow();

    // Nothing here is kept or applied: the controls that would change a font
    // are shown disabled rather than accepting a choice that goes nowhere.
    // Ok and Cancel close the window.
    for (QWidget *w : std::initializer_list<QWidget *>{Frame1, frmFontSize, frmFontType, fraEffects, fraColor, fraApplyTo,
                                                       cmdXFont, cmdRestore, cmdRest, cmdSave})
        w->setEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tbsMain);
    layout->addWidget(pane);
    layout->addStretch();
    layout->addLayout(buttons);

    // Wired to the window itself, so that the destructor can cut it before
    // the tab bar goes.
    connect(tbsMain, &QTabBar::currentChanged, this,
            [this] { guarded(QStringLiteral("frmLogFonts/tbsMain_Click"), [this] { tbsMain_Click(); }); });
}

QWidget *frmLogFonts::buildKeyboardPane()
{
    // The one tab page the window has, element 0 of its array.
    picTabs[0] = controls::named(new QWidget(this), QStringLiteral("picTabs"));
    picTabs[0]->setProperty("Index", 0);
    QWidget *pane = picTabs[0];
    lblNote = controls::named(new QLabel(QStringLiteral("Log lines are written in the CFile's font, shown here."), pane),
                              QStringLiteral("lblNote"));
    lblNote->setWordWrap(true);

    auto *grid = new QGridLayout(pane);
    grid->addWidget(lblNote, 0, 0, 1, 3);
    buildFontLists(pane);
    grid->addWidget(Frame1, 1, 0, 1, 2);
    grid->addWidget(frmFontSize, 1, 2);
    grid->addWidget(buildTypeFrame(pane), 2, 0);
    fraEffects = effectsFrame(pane, chkUnderline, chkStrikeThru);
    fraEffects->setObjectName(QStringLiteral("fraEffects"));
    grid->addWidget(fraEffects, 2, 1);
    grid->addWidget(buildColorFrame(pane), 2, 2);
    grid->addWidget(buildApplyToFrame(pane), 3, 0);
    return pane;
}

void frmLogFonts::buildFontLists(QWidget *pane)
{
    struct FontList {
        QGroupBox *&frame;
        const char *frameName;
        QLabel *&label;
        const char *labelName;
        QString caption;
        QComboBox *&list;
        const char *listName;
    };
    const FontList lists[] = {
        {Frame1, "Frame1", lblFont, "lblFont", QStringLiteral("Font:"), cmbFont, "cmbFont"},
        {frmFontSize, "frmFontSize", Label1, "Label1", QStringLiteral("Size:"), cmbSize, "cmbSize"},
    };
    // Both lists and their labels carry the size list's tip, as they always have.
    const QString tip = QStringLiteral("Select Font Size");
    for (const FontList &l : lists) {
        l.frame = frame(pane, l.frameName, {});
        l.label = new QLabel(l.caption, l.frame);
        l.label->setObjectName(QString::fromLatin1(l.labelName));
        l.label->setToolTip(tip);
        l.list = controls::named(new QComboBox(l.frame), QString::fromLatin1(l.listName), l.caption, tip);
        controls::addAll(new QVBoxLayout(l.frame), {l.label, l.list});
    }
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        cmbSize->addItem(QString::number(size));
}

QGroupBox *frmLogFonts::buildTypeFrame(QWidget *pane)
{
    frmFontType = frame(pane, "frmFontType", QStringLiteral("Type"));
    const auto types = controls::makeIndexed<QRadioButton>(
        optFonType, frmFontType, QStringLiteral("optFonType"),
        {QStringLiteral("Regular"), QStringLiteral("Italic"), QStringLiteral("Bold"), QStringLiteral("Bold Italic")});
    controls::addAll(new QVBoxLayout(frmFontType), controls::widgets(types));
    return frmFontType;
}

QGroupBox *frmLogFonts::buildColorFrame(QWidget *pane)
{
    fraColor = frame(pane, "fraColor", QStringLiteral("Colors"));
    struct Color {
        QPushButton *&button;
        ControlRow row;
        QLabel *&swatch;
        const char *swatchName;
    };
    const Color colors[] = {
        {cmdTextColor, {QStringLiteral("cmdTextColor"), QStringLiteral("Text"), {}, QStringLiteral("Select Color of the Text")},
         lblTextColor, "lblTextColor"},
        {cmdBackground, {QStringLiteral("cmdBackground"), QStringLiteral("Background"), {}, QStringLiteral("Select Background Color")},
         lblBackGround, "lblBackGround"},
    };
    auto *grid = new QGridLayout(fraColor);
    for (int r = 0; r < int(std::size(colors)); ++r) {
        const Color &c = colors[r];
        c.button = controls::make<QPushButton>(fraColor, c.row, {});
        c.swatch = controls::named(new QLabel(fraColor), QString::fromLatin1(c.swatchName));
        c.swatch->setFixedSize(24, 16);
        c.swatch->setAutoFillBackground(true);
        controls::addGrid(grid, {c.button, c.swatch}, 2, r);
    }
    return fraColor;
}

QGroupBox *frmLogFonts::buildApplyToFrame(QWidget *pane)
{
    fraApplyTo = frame(pane, "fraApplyTo", QStringLiteral("Apply To"));
    const auto targets = controls::makeIndexed<QRadioButton>(
        optApplyTo, fraApplyTo, QStringLiteral("optApplyTo"),
        {QStringLiteral("None"), QStringLiteral("Edit"), QStringLiteral("Shoot"), QStringLiteral("Remote"),
         QStringLiteral("ALL")});
    controls::addAll(new QVBoxLayout(fraApplyTo), controls::widgets(targets));
    optApplyTo[0]->setChecked(true);
    return fraApplyTo;
}

QHBoxLayout *frmLogFonts::buildCommandRow()
{
    struct Command {
        QPushButton *frmLogFonts::*slot;
        ControlRow row;
    };
    const auto close = [this] { unload(); };
    const Command rows[] = {
        {&frmLogFonts::cmdXFont, {QStringLiteral("cmdXFont"), QStringLiteral("XFont"), {}, kResetTip}},
        {&frmLogFonts::cmdRestore, {QStringLiteral("cmdRestore"), QStringLiteral("Restore"), {}, kResetTip}},
        {&frmLogFonts::cmdRest, {QStringLiteral("cmdRest"), QStringLiteral("Reset"), {}, kResetTip}},
        {&frmLogFonts::cmdSave, {QStringLiteral("cmdSave"), QStringLiteral("Save"), {},
                                 QStringLiteral("Save this Default - but do not apply it to  the CFile")}},
        {&frmLogFonts::cmdClose, {QStringLiteral("cmdClose"), QStringLiteral("Ok"), close,
                                  QStringLiteral("Apply to CFile and Save this Default")}},
        {&frmLogFonts::cmdCancel, {QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), close,
                                   QStringLiteral("Cancel all operations")}},
    };
    for (const Command &c : rows)
        this->*c.slot = controls::make<QPushButton>(this, c.row, QStringLiteral("frmLogFonts/"));
    auto *buttons = new QHBoxLayout;
    controls::addAll(buttons, {cmdXFont, cmdRestore, cmdRest, cmdSave});
    buttons->addStretch();
    controls::addAll(buttons, {cmdClose, cmdCancel});
    return buttons;
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
