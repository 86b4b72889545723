#include "tools/frmPageMrgns.h"

#include "editor/modDocument.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "shell/frmSplash.h"
#include "shell/modDocFmt.h"
#include "shell/modMain.h"
#include "tools/modFormats.h"
#include "tools/modUnits.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace vt {

namespace {

constexpr int kQuestion = vbYesNoCancel | vbDefaultButton3 | vbSystemModal | vbMsgBoxSetForeground;
constexpr int kMessage = vbOKOnly | vbSystemModal | vbMsgBoxSetForeground;
const QString kCrLf = QStringLiteral("\r\n");
const char *const kFieldNames[] = {"Left margin", "Right margin", "Indent"};

bool sameIndents(const MargFmt &a, const MargFmt &b)
{
    return a.Indent == b.Indent && a.RightIndent == b.RightIndent && a.HangingIndent == b.HangingIndent;
}

} // namespace

frmPageMrgns::frmPageMrgns()
{
    setObjectName(QStringLiteral("frmPageMrgns"));
    setWindowTitle(QStringLiteral("Page Margins Setup"));
    setWindowFlags(Qt::Dialog);

    Frame1 = new QGroupBox(QStringLiteral("Margins"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *mgrid = new QGridLayout(Frame1);
    struct F { const char *name, *label, *labelName, *tip, *labelTip; };
    const F fields[] = {{"txtLeft", "&Left:", "labLeft", "Left Margin Value", ""},
                        {"txtRight", "&Right:", "labRite", "Right Margin Value", "Right Margin"},
                        {"txtIdent", "Indent:", "labIdent", "New Line Space", "Hanging Indent"}};
    QLineEdit **edits[] = {&txtLeft, &txtRight, &txtIdent};
    for (int n = 0; n < 3; ++n) {
        auto *lab = new QLabel(QString::fromLatin1(fields[n].label), Frame1);
        lab->setObjectName(QString::fromLatin1(fields[n].labelName));
        lab->setToolTip(QString::fromLatin1(fields[n].labelTip));
        QLineEdit *e = new QLineEdit(QStringLiteral("0.00"), Frame1);
        e->setObjectName(QString::fromLatin1(fields[n].name));
        e->setToolTip(QString::fromLatin1(fields[n].tip));
        e->setAccessibleName(QString::fromLatin1(kFieldNames[n]));
        lab->setBuddy(e);
        *edits[n] = e;
        QWidget *fraPosMov = arrowPair(
            Frame1, n, cmdPosMov + n * 2, n * 2, QString::fromLatin1(kFieldNames[n]), [this](int i) { cmdPosMov_Click(i); },
            QStringLiteral("frmPageMrgns/cmdPosMov_Click"));
        mgrid->addWidget(lab, n, 0);
        mgrid->addWidget(e, n, 1);
        mgrid->addWidget(fraPosMov, n, 2);
    }

    QGroupBox *fraUnits = unitsFrame(this, cmbUnits);
    defaultBoxes(this, QStringLiteral("chkDefaltOn"), chkDefaltOn, chkAsk);
    const auto buttons = setupButtons(
        this,
        {QStringLiteral("cmdSave"), QStringLiteral("cmdApply"), QStringLiteral("cmdReset"), QStringLiteral("cmdAtCurs"),
         QStringLiteral("cmdRead"), QStringLiteral("cmdCancel"), QStringLiteral("cmdClose")},
        QStringLiteral("Apply Setup to current CFile"),
        QStringLiteral("Retrieve margins from current CFile cursor position"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(Frame1, 0, 0, 3, 1);
    grid->addWidget(fraUnits, 0, 1);
    grid->addWidget(chkDefaltOn, 1, 1);
    grid->addWidget(chkAsk, 2, 1);
    auto *row = new QHBoxLayout();
    controls::addAll(row, controls::widgets(buttons));
    grid->addLayout(row, 3, 0, 1, 2);
    nameControls(this);
}

frmPageMrgns::~frmPageMrgns() { disconnect(); }

void frmPageMrgns::showDialog() { showModal(get()); }

void frmPageMrgns::closeEvent(QCloseEvent *e) { handleClose(e); }

QLineEdit *frmPageMrgns::field(int n) const { return n == 0 ? txtLeft : n == 1 ? txtRight : txtIdent; }

int16_t frmPageMrgns::unitIndex() const { return int16_t(cmbUnits->currentIndex()); }

void frmPageMrgns::Form_Load()
{
    changed_ = false;
    noCFile_ = ActiveForm() == nullptr;
    fillUnitList(cmbUnits, MargFmtDef.MargUnits);
    rec = MargFmtDef;
    showRec();
    // The fields are read back at once, which settles each margin on what the
    // fields can show and reports a stored value that is out of range.
    readFields();
    recOrig = rec;
    readCFile(recApplied, true);
    connect(cmbUnits, &QComboBox::activated, this,
            [this] { guarded(QStringLiteral("frmPageMrgns/cmbUnits_Click"), [this] { cmbUnits_Click(); }); });
}

void frmPageMrgns::showRec()
{
    cmbUnits->setCurrentIndex(scaleMode2Idx(rec.MargUnits));
    shownUnit_ = unitIndex();
    chkDefaltOn->setChecked(rec.MargDefalt == 1);
    chkAsk->setChecked(rec.MargDefaltAsk == 1);
    chkAsk->setEnabled(SoftTest);
    const int16_t values[] = {rec.Indent, rec.RightIndent, rec.HangingIndent};
    for (int n = 0; n < 3; ++n)
        field(n)->setText(showLength(values[n], shownUnit_));
}

bool frmPageMrgns::readFields()
{
    const int16_t unit = shownUnit_;
    QString reason = QStringLiteral("Input must be a numerical value.");
    int n = 0;
    double values[3] = {};
    int16_t twips[3] = {};
    const bool ok = trapErrors([&] {
        for (n = 0; n < 3; ++n)
            values[n] = CDbl(field(n)->text());
        reason = QStringLiteral("Value is out of range");
        for (n = 0; n < 3; ++n) {
            twips[n] = lengthTwips(values[n], unit);
            if (twips[n] < 0)
                vt::raise(6);
        }
    });
    Err.Clear();
    if (!ok) {
        QLineEdit *e = field(n);
        e->selectAll();
        e->setFocus();
        MsgBox(QString::fromLatin1(kFieldNames[n]) + QStringLiteral(" error.!") + kCrLf + reason + kCrLf
                   + QStringLiteral("Input range is 0.00 to ") + Format(maxLength(unit), QStringLiteral("#0.00")),
               kMessage, QStringLiteral("Margins Setup"));
        return false;
    }
    rec.MargUnits = idx2ScaleMode(unit);
    rec.MargDefalt = chkDefaltOn->isChecked() ? 1 : 0;
    rec.MargDefaltAsk = chkAsk->isChecked() ? 1 : 0;
    rec.Indent = twips[0];
    rec.RightIndent = twips[1];
    rec.HangingIndent = twips[2];
    return true;
}

void frmPageMrgns::applyToCFile()
{
    RichTextBox *box = activeRtf();
    if (noCFile_ || !box)
        return;
    const int start = box->SelStart();
    const int length = box->SelLength();
    box->SetSelStart(0);
    box->SetSelLength(box->TextLength());
    box->SetSelIndent(rec.Indent);
    box->SetSelRightIndent(rec.RightIndent);
    box->SetSelHangingIndent(rec.HangingIndent);
    box->SetSelStart(start);
    box->SetSelLength(length);
}

void frmPageMrgns::readCFile(MargFmt &into, bool applied)
{
    RichTextBox *box = activeRtf();
    if (noCFile_ || !box) {
        if (applied) {
            into.Indent = rec.Indent;
            into.RightIndent = rec.RightIndent;
            into.HangingIndent = rec.HangingIndent;
        }
        return;
    }
    // Paragraphs that differ have no one value: the working record keeps its
    // own, and the applied copy takes one that no margin equals, so that Ok
    // offers to make them one.
    auto take = [&](std::optional<int> v, int16_t &to) {
        if (v)
            to = CInt(double(*v));
        else if (applied)
            to = -1;
    };
    take(box->SelIndent(), into.Indent);
    take(box->SelRightIndent(), into.RightIndent);
    take(box->SelHangingIndent(), into.HangingIndent);
}

void frmPageMrgns::cmbUnits_Click()
{
    // The shown numbers follow the unit; a field that does not read as a
    // number is left for the check to report.
    const int16_t from = shownUnit_;
    const int16_t to = unitIndex();
    for (int n = 0; n < 3; ++n) {
        QLineEdit *e = field(n);
        trapErrors([&] { e->setText(showLength(lengthTwips(CDbl(e->text()), from), to)); });
    }
    Err.Clear();
    shownUnit_ = to;
}

void frmPageMrgns::cmdPosMov_Click(int index)
{
    QLineEdit *e = field(index / 2);
    double v = 0;
    if (!trapErrors([&] { v = CDbl(e->text()); })) {
        Err.Clear();
        MsgBox(QStringLiteral("Invalid Number"), kMessage);
        return;
    }
    const double step = spinStep(shownUnit_);
    v += index % 2 == 0 ? step : -step;
    v = std::clamp(v, 0.0, maxLength(shownUnit_));
    e->setText(Format(v, QStringLiteral("#0.00")));
}

void frmPageMrgns::cmdSave_Click()
{
    if (!readFields())
        return;
    recOrig = rec;
    MargFmtDef = rec;
    writeMargDefs(rec);
}

void frmPageMrgns::cmdApply_Click()
{
    if (!readFields())
        return;
    if (noCFile_ || !activeRtf()) {
        MsgBox(u'\t' + QStringLiteral("There are no Open CFiles..!"), kMessage);
    } else {
        applyToCFile();
        readCFile(rec, false);
        showRec();
    }
    recApplied.Indent = rec.Indent;
    recApplied.RightIndent = rec.RightIndent;
    recApplied.HangingIndent = rec.HangingIndent;
}

void frmPageMrgns::cmdAtCurs_Click()
{
    if (noCFile_ || !activeRtf()) {
        MsgBox(u'\t' + QStringLiteral("There are no Open CFiles..!"), kMessage);
        return;
    }
    readCFile(rec, false);
    showRec();
    readCFile(recApplied, true);
}

void frmPageMrgns::cmdRead_Click()
{
    readMargDefs(rec);
    showRec();
}

void frmPageMrgns::cmdReset_Click()
{
    rec.MargDefalt = 1;
    rec.MargDefaltAsk = 1;
    rec.MargUnits = vbInches;
    rec.Indent = 72;
    rec.RightIndent = 72;
    rec.HangingIndent = 0;
    showRec();
}

void frmPageMrgns::cmdCancel_Click() { unload(vbFormCode); }

void frmPageMrgns::cmdClose_Click()
{
    if (!readFields())
        return;
    if (rec.MargDefaltAsk == 1) {
        const bool appliedDiffers = !sameIndents(rec, recApplied);
        const bool margChanged = !sameIndents(rec, recOrig);
        if (appliedDiffers && margChanged && !noCFile_ && activeRtf()) {
            const int answer = MsgBox(u'\t' + QStringLiteral("Apply changes to CFile..?"), kQuestion);
            if (answer == vbCancel)
                return;
            if (answer == vbYes)
                applyToCFile();
        }
    }
    unload(vbFormCode);
}

void frmPageMrgns::Form_QueryUnload(int &cancel, int unloadMode)
{
    (void)unloadMode;
    if (!readFields())
        return; // reported; the window closes with nothing stored
    changed_ = !sameIndents(rec, recOrig) || rec.MargDefalt != recOrig.MargDefalt
        || rec.MargDefaltAsk != recOrig.MargDefaltAsk || rec.MargUnits != recOrig.MargUnits;
    if (rec.MargDefaltAsk != 1 || !changed_)
        return;
    const int answer = MsgBox(u'\t' + QStringLiteral("    Save changes..?"), kQuestion);
    if (answer == vbCancel) {
        cancel = 1;
    } else if (answer == vbYes) {
        MargFmtDef = rec;
        writeMargDefs(rec);
    }
}

} // namespace vt
