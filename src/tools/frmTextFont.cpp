#include "tools/frmTextFont.h"

#include "chrono/modCroCox.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/commondlg.h"
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

QPushButton *button(QWidget *parent, const char *name, const QString &caption, const QString &tip)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

QCheckBox *check(QWidget *parent, const char *name, const QString &caption, const QString &tip)
{
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setToolTip(tip);
    return c;
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

    auto *lblFont = new QLabel(QStringLiteral("Font:"), this);
    lblFont->setObjectName(QStringLiteral("lblFont"));
    cmbFont = new QComboBox(this);
    cmbFont->setObjectName(QStringLiteral("cmbFont"));
    cmbFont->setEditable(true);
    cmbFont->setToolTip(QStringLiteral("Select Font Size"));
    cmbFont->setAccessibleName(QStringLiteral("Font"));
    lblFont->setBuddy(cmbFont);
    auto *Label1 = new QLabel(QStringLiteral("Size:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    cmbSize = new QComboBox(this);
    cmbSize->setObjectName(QStringLiteral("cmbSize"));
    cmbSize->setEditable(true);
    cmbSize->setToolTip(QStringLiteral("Select Font Size"));
    cmbSize->setAccessibleName(QStringLiteral("Size"));
    Label1->setBuddy(cmbSize);

    auto *fraType = new QGroupBox(QStringLiteral("Type"), this);
    auto *typeLay = new QVBoxLayout(fraType);
    const char *types[] = {"Regular", "Italic", "Bold", "Bold Italic"};
    for (int i = 0; i < 4; ++i) {
        optFonType[i] = new QRadioButton(QString::fromLatin1(types[i]), fraType);
        optFonType[i]->setObjectName(QStringLiteral("optFonType%1").arg(i));
        typeLay->addWidget(optFonType[i]);
    }
    auto *fraEffects = new QGroupBox(QStringLiteral("Effects"), this);
    auto *effLay = new QVBoxLayout(fraEffects);
    const QString effTip = QStringLiteral("If checked, upon loading creating a new  CFile, this setup will be used");
    chkUnderline = check(fraEffects, "chkUnderline", QStringLiteral("Underline"), effTip);
    chkStrikeThru = check(fraEffects, "chkStrikeThru", QStringLiteral("Strike Thru"), effTip);
    effLay->addWidget(chkUnderline);
    effLay->addWidget(chkStrikeThru);

    auto *fraColors = new QGroupBox(QStringLiteral("Colors"), this);
    auto *colLay = new QGridLayout(fraColors);
    cmdTextColor = button(fraColors, "cmdTextColor", QStringLiteral("Text"), QStringLiteral("Select Color of the Text"));
    cmdBackground = button(fraColors, "cmdBackground", QStringLiteral("Background"),
                           QStringLiteral("Select Background Color"));
    lblTextColor = new QLabel(fraColors);
    lblTextColor->setObjectName(QStringLiteral("lblTextColor"));
    lblBackGround = new QLabel(fraColors);
    lblBackGround->setObjectName(QStringLiteral("lblBackGround"));
    for (QLabel *l : {lblTextColor, lblBackGround}) {
        l->setAutoFillBackground(true);
        l->setFrameShape(QFrame::Box);
        l->setMinimumSize(32, 20);
        l->installEventFilter(this);
    }
    lblTextColor->setToolTip(cmdTextColor->toolTip());
    lblBackGround->setToolTip(cmdBackground->toolTip());
    lblTextColor->setAccessibleName(QStringLiteral("Text colour"));
    lblBackGround->setAccessibleName(QStringLiteral("Background colour"));
    colLay->addWidget(cmdTextColor, 0, 0);
    colLay->addWidget(lblTextColor, 0, 1);
    colLay->addWidget(cmdBackground, 1, 0);
    colLay->addWidget(lblBackGround, 1, 1);

    chkUseAsDefalt = check(this, "chkUseAsDefalt", QStringLiteral("Default"),
                           QStringLiteral("If checked - upon loading or creating a new  CFile, this Default is used"));
    chkAsk = check(this, "chkAsk", QStringLiteral("Warning"), QStringLiteral("If checked - Warning is issued before exiting"));
    chkAutoSave = check(this, "chkAutoSave", QStringLiteral("AutoSave"),
                        QStringLiteral("If checked - this Default is automaticaly saved when Vantrell is Closed"));

    cmdXFonts = button(this, "cmdXFonts", QStringLiteral("XFonts"), QStringLiteral("Get Fixed Size System Fonts"));
    cmdApply = button(this, "cmdApply", QStringLiteral("Apply"),
                      QStringLiteral("Apply to the current  CFile - but do not save this Default"));
    cmdAtCursor = button(this, "cmdAtCursor", QStringLiteral("@Cursor"),
                         QStringLiteral("Get Default from CFile - at current cursor location"));
    cmdRestore = button(this, "cmdRestore", QStringLiteral("Restore"), QStringLiteral("Restore last saved Default values"));
    cmdReset = button(this, "cmdReset", QStringLiteral("Reset"),
                      QStringLiteral("Reset all values - click here when in trouble"));
    cmdSave = button(this, "cmdSave", QStringLiteral("Save"),
                     QStringLiteral("Save this Default - but do not apply it to  the CFile"));
    cmdClose = button(this, "cmdClose", QStringLiteral("Ok"), QStringLiteral("Apply to CFile and Save this Default"));
    cmdCancel = button(this, "cmdCancel", QStringLiteral("Cancel"), QStringLiteral("Cancel all operations"));

    rtfSample = new RichTextBox(this);
    rtfSample->setObjectName(QStringLiteral("rtfSample"));
    rtfSample->setReadOnly(true);
    rtfSample->setAccessibleName(QStringLiteral("Sample"));
    rtfSample->setFixedHeight(70);

    auto *grid = new QGridLayout(this);
    grid->addWidget(lblFont, 0, 0);
    grid->addWidget(cmbFont, 1, 0);
    grid->addWidget(Label1, 0, 1);
    grid->addWidget(cmbSize, 1, 1);
    grid->addWidget(fraType, 2, 0);
    grid->addWidget(fraEffects, 2, 1);
    grid->addWidget(fraColors, 3, 0);
    auto *flags = new QVBoxLayout();
    flags->addWidget(chkUseAsDefalt);
    flags->addWidget(chkAsk);
    flags->addWidget(chkAutoSave);
    grid->addLayout(flags, 3, 1);
    grid->addWidget(rtfSample, 4, 0, 1, 2);
    auto *buttons = new QGridLayout();
    QPushButton *order[] = {cmdXFonts, cmdApply, cmdAtCursor, cmdRestore, cmdReset, cmdSave, cmdClose, cmdCancel};
    for (int i = 0; i < 8; ++i)
        buttons->addWidget(order[i], i / 4, i % 4);
    grid->addLayout(buttons, 5, 0, 1, 2);
    nameControls(this);

    auto on = [this](QPushButton *b, void (frmTextFont::*handler)(), const char *name) {
        const QString where = QStringLiteral("frmTextFont/") + QString::fromLatin1(name);
        connect(b, &QPushButton::clicked, this, [this, handler, where] { guarded(where, [&] { (this->*handler)(); }); });
    };
    on(cmdApply, &frmTextFont::cmdApply_Click, "cmdApply_Click");
    on(cmdAtCursor, &frmTextFont::cmdAtCursor_Click, "cmdAtCursor_Click");
    on(cmdRestore, &frmTextFont::cmdRestore_Click, "cmdRestore_Click");
    on(cmdReset, &frmTextFont::cmdReset_Click, "cmdReset_Click");
    on(cmdSave, &frmTextFont::cmdSave_Click, "cmdSave_Click");
    on(cmdClose, &frmTextFont::cmdClose_Click, "cmdClose_Click");
    on(cmdCancel, &frmTextFont::cmdCancel_Click, "cmdCancel_Click");
    on(cmdXFonts, &frmTextFont::cmdXFonts_Click, "cmdXFonts_Click");
    on(cmdTextColor, &frmTextFont::cmdTextColor_Click, "cmdTextColor_Click");
    on(cmdBackground, &frmTextFont::cmdBackground_Click, "cmdBackground_Click");
    auto fontControl = [this] { guarded(QStringLiteral("frmTextFont/control_Click"), [this] { control_Click(); }); };
    auto flagControl = [this] { guarded(QStringLiteral("frmTextFont/flag_Click"), [this] { flag_Click(); }); };
    connect(cmbFont, &QComboBox::activated, this, fontControl);
    connect(cmbSize, &QComboBox::activated, this, fontControl);
    for (QRadioButton *o : optFonType)
        connect(o, &QRadioButton::clicked, this, fontControl);
    connect(chkUnderline, &QCheckBox::clicked, this, fontControl);
    connect(chkStrikeThru, &QCheckBox::clicked, this, fontControl);
    for (QCheckBox *c : {chkAsk, chkUseAsDefalt, chkAutoSave})
        connect(c, &QCheckBox::clicked, this, flagControl);
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
