#include "tools/frmTextFont.h"

#include "chrono/modCroCox.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/commondlg.h"
#include "platform/controls.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "shell/frmSplash.h"
#include "shell/modDocFmt.h"
#include "shell/modErrMsgs.h"
#include "shell/modMain.h"
#include "tools/modFormats.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <iterator>

namespace vt {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
constexpr int kQuestion = vbYesNoCancel | vbDefaultButton3 | vbSystemModal | vbMsgBoxSetForeground;
constexpr int kMessage = vbOKOnly | vbSystemModal | vbMsgBoxSetForeground;

void setLabelColour(QLabel *label, int32_t number)
{
    label->setProperty("colour", number);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, colorFromNumber(uint32_t(number)));
    label->setPalette(pal);
}
int32_t labelColour(const QLabel *label) { return label->property("colour").toInt(); }

// Where the clicks of the controls that change the font, and of the boxes
// that do not, are reported.
const QString kFontChange = QStringLiteral("frmTextFont/control_Click");
const QString kFlagChange = QStringLiteral("frmTextFont/flag_Click");

// A command button from its row; its click is reported under
// "frmTextFont/<name>_Click". No button here is pressed by Enter.
QPushButton *command(QWidget *parent, const ControlRow &row)
{
    auto *b = controls::make<QPushButton>(parent, row, QStringLiteral("frmTextFont/"));
    b->setAutoDefault(false);
    return b;
}

// Runs body, reported under where, at a click of any of the buttons.
void onClicks(std::initializer_list<QAbstractButton *> buttons, const QString &where, const std::function<void()> &body)
{
    for (QAbstractButton *b : buttons)
        controls::onSignal(b, &QAbstractButton::clicked, where, body);
}

bool sameFont(const FontFmt &a, const FontFmt &b)
{
    return a.FontName == b.FontName && a.FontSize == b.FontSize && a.FontBackColor == b.FontBackColor
        && a.FontColor == b.FontColor && a.FontBold == b.FontBold && a.FontItalic == b.FontItalic
        && a.FontUnderline == b.FontUnderline && a.FontStrikeThru == b.FontStrikeThru;
}

} // namespace

frmTextFont::frmTextFont()
{
    setObjectName(QStringLiteral("frmTextFont"));
    setWindowTitle(QStringLiteral("CFile Startup Formating"));
    setWindowFlags(Qt::Dialog);
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto *grid = new QGridLayout(this);
    buildFontLists(grid);
    grid->addWidget(buildTypeFrame(), 2, 0);
    grid->addWidget(buildEffectsFrame(), 2, 1);
    grid->addWidget(buildColorsFrame(), 3, 0);
    grid->addLayout(buildFlagBoxes(), 3, 1);
    QGridLayout *commands = buildCommandRows();
    buildSample();
    grid->addWidget(rtfSample, 4, 0, 1, 2);
    grid->addLayout(commands, 5, 0, 1, 2);
    nameControls(this);
}

void frmTextFont::buildFontLists(QGridLayout *grid)
{
    struct FontList {
        const char *labelName;
        QString caption;
        QComboBox *&list;
        const char *name;
        QString accessible;
    };
    const FontList lists[] = {{"lblFont", QStringLiteral("Font:"), cmbFont, "cmbFont", QStringLiteral("Font")},
                              {"Label1", QStringLiteral("Size:"), cmbSize, "cmbSize", QStringLiteral("Size")}};
    for (int column = 0; column < int(std::size(lists)); ++column) {
        const FontList &l = lists[column];
        auto *label = new QLabel(l.caption, this);
        label->setObjectName(QString::fromLatin1(l.labelName));
        // Both lists carry the size list's tip, as they always have.
        l.list = controls::named(new QComboBox(this), QString::fromLatin1(l.name), l.accessible,
                                 QStringLiteral("Select Font Size"));
        l.list->setEditable(true);
        label->setBuddy(l.list);
        grid->addWidget(label, 0, column);
        grid->addWidget(l.list, 1, column);
        controls::onSignal(l.list, &QComboBox::activated, kFontChange, [this] { control_Click(); });
    }
}

QGroupBox *frmTextFont::buildTypeFrame()
{
    auto *fraType = new QGroupBox(QStringLiteral("Type"), this);
    const auto types = controls::makeArray<QRadioButton>(
        fraType, QStringLiteral("optFonType"),
        {QStringLiteral("Regular"), QStringLiteral("Italic"), QStringLiteral("Bold"), QStringLiteral("Bold Italic")},
        [this](int) { control_Click(); }, kFontChange);
    std::copy(types.begin(), types.end(), optFonType);
    controls::addAll(new QVBoxLayout(fraType), controls::widgets(types));
    return fraType;
}

QGroupBox *frmTextFont::buildEffectsFrame()
{
    QGroupBox *fraEffects = effectsFrame(this, chkUnderline, chkStrikeThru);
    onClicks({chkUnderline, chkStrikeThru}, kFontChange, [this] { control_Click(); });
    return fraEffects;
}

QGroupBox *frmTextFont::buildColorsFrame()
{
    auto *fraColors = new QGroupBox(QStringLiteral("Colors"), this);
    cmdTextColor = command(fraColors, {QStringLiteral("cmdTextColor"), QStringLiteral("Text"),
                                       [this] { cmdTextColor_Click(); }, QStringLiteral("Select Color of the Text")});
    cmdBackground = command(fraColors, {QStringLiteral("cmdBackground"), QStringLiteral("Background"),
                                        [this] { cmdBackground_Click(); }, QStringLiteral("Select Background Color")});
    // Each swatch shows its colour and, clicked, chooses it as its button does.
    struct Swatch {
        QLabel *&label;
        const char *name;
        QString accessible;
        const QPushButton *button;
    };
    const Swatch swatches[] = {{lblTextColor, "lblTextColor", QStringLiteral("Text colour"), cmdTextColor},
                               {lblBackGround, "lblBackGround", QStringLiteral("Background colour"), cmdBackground}};
    for (const Swatch &w : swatches) {
        w.label = controls::named(new QLabel(fraColors), QString::fromLatin1(w.name), w.accessible,
                                  w.button->toolTip());
        w.label->setAutoFillBackground(true);
        w.label->setFrameShape(QFrame::Box);
        w.label->setMinimumSize(32, 20);
        w.label->installEventFilter(this);
    }
    controls::addGrid(new QGridLayout(fraColors), {cmdTextColor, lblTextColor, cmdBackground, lblBackGround}, 2);
    return fraColors;
}

QVBoxLayout *frmTextFont::buildFlagBoxes()
{
    defaultBoxes(this, QStringLiteral("chkUseAsDefalt"), chkUseAsDefalt, chkAsk);
    chkAutoSave = controls::make<QCheckBox>(
        this,
        {QStringLiteral("chkAutoSave"), QStringLiteral("AutoSave"), {},
         QStringLiteral("If checked - this Default is automaticaly saved when Vantrell is Closed")},
        {});
    onClicks({chkAsk, chkUseAsDefalt, chkAutoSave}, kFlagChange, [this] { flag_Click(); });
    auto *flags = new QVBoxLayout();
    controls::addAll(flags, {chkUseAsDefalt, chkAsk, chkAutoSave});
    return flags;
}

QGridLayout *frmTextFont::buildCommandRows()
{
    struct Command {
        QPushButton *frmTextFont::*slot;
        ControlRow row;
    };
    const Command rows[] = {
        {&frmTextFont::cmdXFonts, {QStringLiteral("cmdXFonts"), QStringLiteral("XFonts"), [this] { cmdXFonts_Click(); },
                                   QStringLiteral("Get Fixed Size System Fonts")}},
        {&frmTextFont::cmdApply, {QStringLiteral("cmdApply"), QStringLiteral("Apply"), [this] { cmdApply_Click(); },
                                  QStringLiteral("Apply to the current  CFile - but do not save this Default")}},
        {&frmTextFont::cmdAtCursor, {QStringLiteral("cmdAtCursor"), QStringLiteral("@Cursor"),
                                     [this] { cmdAtCursor_Click(); },
                                     QStringLiteral("Get Default from CFile - at current cursor location")}},
        {&frmTextFont::cmdRestore, {QStringLiteral("cmdRestore"), QStringLiteral("Restore"),
                                    [this] { cmdRestore_Click(); }, QStringLiteral("Restore last saved Default values")}},
        {&frmTextFont::cmdReset, {QStringLiteral("cmdReset"), QStringLiteral("Reset"), [this] { cmdReset_Click(); },
                                  QStringLiteral("Reset all values - click here when in trouble")}},
        {&frmTextFont::cmdSave, {QStringLiteral("cmdSave"), QStringLiteral("Save"), [this] { cmdSave_Click(); },
                                 QStringLiteral("Save this Default - but do not apply it to  the CFile")}},
        {&frmTextFont::cmdClose, {QStringLiteral("cmdClose"), QStringLiteral("Ok"), [this] { cmdClose_Click(); },
                                  QStringLiteral("Apply to CFile and Save this Default")}},
        {&frmTextFont::cmdCancel, {QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), [this] { cmdCancel_Click(); },
                                   QStringLiteral("Cancel all operations")}},
    };
    std::vector<QWidget *> made;
    for (const Command &c : rows)
        made.push_back(this->*c.slot = command(this, c.row));
    auto *grid = new QGridLayout();
    controls::addGrid(grid, made, 4);
    return grid;
}

void frmTextFont::buildSample()
{
    rtfSample = new RichTextBox(this);
    rtfSample->setObjectName(QStringLiteral("rtfSample"));
    rtfSample->setReadOnly(true);
    rtfSample->setAccessibleName(QStringLiteral("Sample"));
    rtfSample->setFixedHeight(70);
}

frmTextFont::~frmTextFont()
{
    for (QLabel *l : {lblTextColor, lblBackGround})
        l->removeEventFilter(this);
    disconnect();
}

void frmTextFont::showDialog()
{
    frmTextFont *f = get();
    showModal(f);
}

void frmTextFont::Form_Load()
{
    loading_ = true;
    rtfSample->SetText(QStringLiteral("Abc"));
    rtfSample->SetSelStart(0);
    rtfSample->SetSelLength(rtfSample->TextLength());
    rtfSample->SetSelAlignment(RichTextBox::rtfCenter);
    rtfSample->SetSelStart(0);
    rec.DocOpen = ActiveForm() ? vbTrue : vbFalse;
    cmbFont->addItems(QFontDatabase::families());
    cmbFont->setCurrentIndex(0);
    for (int size = 5; size <= 72; ++size)
        cmbSize->addItem(u' ' + QString::number(size));
    cmbSize->setCurrentIndex(0);
    getGlobFontFmt();
    savFontOrig();
    savFontRestore();
    rec2Usr();
    loading_ = false; // the sample is drawn from the controls just set
    seeFontSample();
    loading_ = true;
    chkFontDirty();
    chkAsk->setEnabled(SoftTest);
    chkAutoSave->setVisible(UserLevel == 4);
    cmdApply->setEnabled(ActiveForm() != nullptr);
    cmdAtCursor->setEnabled(ActiveForm() != nullptr);
    loading_ = false;
}

void frmTextFont::closeEvent(QCloseEvent *e) { handleClose(e); }

bool frmTextFont::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == lblTextColor)
            guarded(QStringLiteral("frmTextFont/lblTextColor_Click"), [this] { cmdTextColor_Click(); });
        else if (watched == lblBackGround)
            guarded(QStringLiteral("frmTextFont/lblBackGround_Click"), [this] { cmdBackground_Click(); });
    }
    return QWidget::eventFilter(watched, event);
}

// --- records ----------------------------------------------------------------

void frmTextFont::rstRec() { rstFont(rec); }

void frmTextFont::getGlobFontFmt()
{
    const int16_t changed = rec.Changed;
    const int16_t docOpen = rec.DocOpen;
    rec = FontFmtDef;
    rec.Changed = changed;
    rec.DocOpen = docOpen;
}

void frmTextFont::putGlobFontFmt()
{
    const int16_t changed = FontFmtDef.Changed;
    FontFmtDef = rec;
    FontFmtDef.Changed = changed;
}

void frmTextFont::chkFontDirty()
{
    const bool dirty = rec.FormatSetDefalt != recOrig.FormatSetDefalt || rec.FormatAsk != recOrig.FormatAsk
        || !sameFont(rec, recOrig);
    recOrig.Changed = dirty ? vbTrue : vbFalse;
    cmdSave->setEnabled(dirty);
}

void frmTextFont::chkFontRestore() { recRestore.Changed = sameFont(rec, recRestore) ? vbFalse : vbTrue; }

void frmTextFont::lodFontDefs() { readFontDefs(rec); }

void frmTextFont::savFontDefs()
{
    writeFontDefs(rec);
    rec.Changed = vbFalse;
    recOrig.Changed = vbFalse;
}

// --- controls and sample ----------------------------------------------------

void frmTextFont::seeFontSample()
{
    if (loading_)
        return;
    RichTextBox *s = rtfSample;
    s->SetSelStart(0);
    s->SetSelLength(s->TextLength());
    s->SetSelColor(colorFromNumber(uint32_t(labelColour(lblTextColor))));
    s->SetBackColor(colorFromNumber(uint32_t(labelColour(lblBackGround))));
    s->SetSelFontName(cmbFont->currentText().trimmed());
    const double size = Val(cmbSize->currentText());
    if (size > 0)
        s->SetSelFontSize(size);
    s->SetSelBold(optFonType[2]->isChecked() || optFonType[3]->isChecked());
    s->SetSelItalic(optFonType[1]->isChecked() || optFonType[3]->isChecked());
    s->SetSelUnderline(chkUnderline->isChecked());
    s->SetSelStrikeThru(chkStrikeThru->isChecked());
    s->SetSelStart(0);
}

void frmTextFont::getFontFlags()
{
    if (loading_)
        return;
    // The sample shows exactly what the controls hold, so they are read here.
    rec.FontName = cmbFont->currentText().trimmed();
    rec.FontSize = CInt(Val(cmbSize->currentText()));
    rec.FontBackColor = labelColour(lblBackGround);
    rec.FontColor = labelColour(lblTextColor);
    rec.FontBold = optFonType[2]->isChecked() || optFonType[3]->isChecked();
    rec.FontItalic = optFonType[1]->isChecked() || optFonType[3]->isChecked();
    rec.FontUnderline = chkUnderline->isChecked();
    rec.FontStrikeThru = chkStrikeThru->isChecked();
    rec.FormatSetDefalt = chkUseAsDefalt->isChecked() ? 1 : 0;
    rec.FormatAsk = chkAsk->isChecked() ? 1 : 0;
}

void frmTextFont::rec2Usr()
{
    const bool wasLoading = loading_;
    loading_ = true;
    int step = 0;
    if (!trapErrors([&] {
            chkUseAsDefalt->setChecked(rec.FormatSetDefalt == 1);
            chkAsk->setChecked(rec.FormatAsk == 1);
            chkAsk->setEnabled(SoftTest);
            setLabelColour(lblBackGround, rec.FontBackColor);
            setLabelColour(lblTextColor, rec.FontColor);
            step = 1;
            const int font = cmbFont->findText(rec.FontName, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (font >= 0)
                cmbFont->setCurrentIndex(font);
            else
                cmbFont->setEditText(rec.FontName); // kept by name where the screen lacks it
            step = 2;
            int size = -1;
            for (int i = 0; i < cmbSize->count() && size < 0; ++i)
                if (Val(cmbSize->itemText(i)) == rec.FontSize)
                    size = i;
            if (size >= 0)
                cmbSize->setCurrentIndex(size);
            else
                cmbSize->setEditText(u' ' + QString::number(rec.FontSize));
            step = 3;
            chkStrikeThru->setChecked(rec.FontStrikeThru);
            chkUnderline->setChecked(rec.FontUnderline);
            optFonType[(rec.FontItalic ? 1 : 0) + (rec.FontBold ? 2 : 0)]->setChecked(true);
        })) {
        MsgBox(QStringLiteral("rec2Usr eRo=") + QString::number(step), vbOKOnly);
        Err.Clear();
    }
    loading_ = wasLoading;
}

// --- the CFile ----------------------------------------------------------------

void frmTextFont::setSelFont()
{
    RichTextBox *box = activeRtf();
    if (!box)
        return;
    box->SetSelFontName(rec.FontName);
    box->SetSelFontSize(rec.FontSize);
    box->SetSelColor(colorFromNumber(uint32_t(rec.FontColor)));
    box->SetBackColor(colorFromNumber(uint32_t(rec.FontBackColor)));
    box->SetSelItalic(rec.FontItalic);
    box->SetSelBold(rec.FontBold);
    box->SetSelStrikeThru(rec.FontStrikeThru);
    box->SetSelUnderline(rec.FontUnderline);
}

void frmTextFont::getDocFont()
{
    saxDocFmt();
    docFontToFont(DocFontFmt, rec);
}

void frmTextFont::updTrbFmt()
{
    showToolbarFont(rec.FontName, QString::number(rec.FontSize), colorFromNumber(uint32_t(rec.FontColor)),
                    colorFromNumber(uint32_t(rec.FontBackColor)));
}

void frmTextFont::getGenFonts()
{
    const dialogs::FontChoice initial = fontChoice(rec);
    if (!trapErrors([&] {
            const auto chosen = dialogs::chooseFont(initial);
            if (!chosen)
                return;
            rec.FontBold = chosen->bold;
            rec.FontItalic = chosen->italic;
            rec.FontUnderline = chosen->underline;
            rec.FontStrikeThru = chosen->strikeOut;
            rec.FontName = chosen->name;
            rec.FontSize = CInt(chosen->pointSize);
            rec.FontColor = int32_t(chosen->color);
        })) {
        errLoc(QStringLiteral("frmMDI/getGenFonts"));
        Err.Clear();
    }
}

// --- handlers -------------------------------------------------------------------

void frmTextFont::control_Click()
{
    seeFontSample();
    getFontFlags();
    chkFontDirty();
}

void frmTextFont::flag_Click()
{
    getFontFlags();
    chkFontDirty();
}

void frmTextFont::cmdTextColor_Click()
{
    const auto chosen = dialogs::chooseColor(uint32_t(labelColour(lblTextColor)));
    if (!chosen)
        return; // a cancelled colour dialog changes nothing
    setLabelColour(lblTextColor, int32_t(*chosen));
    control_Click();
}

void frmTextFont::cmdBackground_Click()
{
    const auto chosen = dialogs::chooseColor(uint32_t(labelColour(lblBackGround)));
    if (!chosen)
        return;
    setLabelColour(lblBackGround, int32_t(*chosen));
    rtfSample->SetBackColor(colorFromNumber(*chosen));
    control_Click();
}

void frmTextFont::cmdXFonts_Click()
{
    getGenFonts();
    rec2Usr();
    seeFontSample();
    chkFontDirty();
}

void frmTextFont::cmdApply_Click()
{
    RichTextBox *box = activeRtf();
    if (!box) {
        MsgBox(QStringLiteral("There are no Open CFiles..!"), kMessage);
        return;
    }
    box->SetHideSelection(false);
    const int start = box->SelStart();
    const int length = box->SelLength();
    getFontFlags();
    savFontRestore();
    setSelFont();
    updTrbFmt();
    box->SetSelStart(start);
    box->SetSelLength(length);
}

void frmTextFont::cmdAtCursor_Click()
{
    if (!activeRtf()) {
        MsgBox(QStringLiteral("There are no Open CFiles..!"), kMessage);
        return;
    }
    getDocFont();
    rec2Usr();
    seeFontSample();
    chkFontDirty();
}

void frmTextFont::cmdRestore_Click()
{
    lodFontDefs();
    rec2Usr();
    seeFontSample();
    chkFontDirty();
}

void frmTextFont::cmdReset_Click()
{
    rstRec();
    rec2Usr();
    seeFontSample();
    chkFontDirty();
}

void frmTextFont::cmdSave_Click()
{
    getFontFlags();
    savFontDefs();
    // What is stored is also this run's default, so that the exit, which
    // writes the run's default, keeps it.
    putGlobFontFmt();
    savFontOrig();
    chkFontDirty();
}

void frmTextFont::cmdClose_Click()
{
    chkFontRestore();
    if (recRestore.Changed && ActiveForm()) {
        const int answer = MsgBox(u'\t' + QStringLiteral("Apply changes to CFile..?"), kQuestion);
        if (answer == vbCancel)
            return;
        if (answer == vbYes) {
            getFontFlags();
            putGlobFontFmt();
            if (ActiveForm())
                vt::setDocFrmt();
            else
                MsgBox(QStringLiteral("There are no Open CFiles..!"), kMessage);
        }
    }
    unload(vbFormCode);
}

void frmTextFont::cmdCancel_Click()
{
    rstFontOrig();
    unload(vbFormCode);
}

void frmTextFont::Form_QueryUnload(int &cancel, int unloadMode)
{
    (void)unloadMode;
    chkFontDirty();
    if (!recOrig.Changed)
        return;
    const int answer = MsgBox(u'\t' + QStringLiteral("    Save changes..?"), kQuestion);
    if (answer == vbCancel) {
        cancel = 1;
        return;
    }
    if (answer == vbYes) {
        getFontFlags();
        putGlobFontFmt();
        savFontDefs();
    }
}

// --- debug dumps ----------------------------------------------------------------

void frmTextFont::dump(const FontFmt &r, const QString &mark, int16_t blankLine)
{
    ++fmtDumpNum;
    if (blankLine)
        plogMsg(kCrLf);
    plogMsg(u'(' + QString::number(fmtDumpNum) + QStringLiteral(") ") + mark);
    const QStringList lines = {QStringLiteral("recREC..........."),
                               QStringLiteral("Default =") + QString::number(r.FormatSetDefalt),
                               QStringLiteral("Size=") + QString::number(r.FontSize),
                               QStringLiteral("Name=") + r.FontName,
                               QStringLiteral("Color=") + QString::number(r.FontColor),
                               QStringLiteral("Italic=") + BoolText(r.FontItalic),
                               QStringLiteral("SrkTru=") + BoolText(r.FontStrikeThru),
                               QStringLiteral("Underln=") + BoolText(r.FontUnderline),
                               QStringLiteral("BakColor=") + QString::number(r.FontBackColor),
                               QStringLiteral("...")};
    plogMsg(lines.join(kCrLf));
}

void frmTextFont::seeFormaX(int16_t blankLine)
{
    dump(recOrig, QString(32, u'+'), blankLine);
}

void frmTextFont::seeFormat(int16_t blankLine)
{
    dump(rec, QString(32, u'-'), blankLine);
}

} // namespace vt
