#include "export/frmExpSet.h"

#include "export/modExpExc.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/settings.h"
#include "shell/frmMDI.h"
#include "shell/frmSplash.h"
#include "shell/modApi.h"
#include "shell/modBusy.h"
#include "shell/modMain.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"

#include <QApplication>
#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <functional>
#include <span>
#include <vector>

namespace vt {

namespace {

const QString kSection = QStringLiteral("frmExpSet");
const QString kWhere = QStringLiteral("frmExpSet/");
const QString crlf = QStringLiteral("\r\n");
constexpr int kNotice = vbOKOnly | vbSystemModal | vbMsgBoxSetForeground;

QString boolText(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }

// The keys in their stored order, with the option each holds.
struct BoolKey {
    const char *key;
    bool *value;
    bool def;
};

std::vector<BoolKey> boolKeys()
{
    XlSession &x = XlSes;
    return {
        {"ExpShowINots", &ExpShowINots, true},   {"ExpExcXSet", &x.ExpExcXSet, false},
        {"ExpExcUHed0", &x.ExpExcUHed[0], true}, {"ExpExcUHed1", &x.ExpExcUHed[1], true},
        {"ExpExcUHed2", &x.ExpExcUHed[2], false}, {"ExpExcNHed0", &x.ExpExcNHed[0], true},
        {"ExpExcNHed1", &x.ExpExcNHed[1], true}, {"ExpExcFSts0", &x.ExpExcFSts[0], true},
        {"ExpExcFSts1", &x.ExpExcFSts[1], true}, {"ExpExcFSts2", &x.ExpExcFSts[2], true},
        {"ExpExcIPos0", &x.ExpExcIPos[0], true}, {"ExpExcIPos1", &x.ExpExcIPos[1], true},
        {"ExpExcIPos2", &x.ExpExcIPos[2], true}, {"ExpExcXLog", &x.ExpExcXLog, true},
    };
}

// Restores the pointer however a command ends.
// (the window's own, or the whole screen's).
class WaitPointer {
public:
    WaitPointer(QWidget *window, bool screen) : w_(window), screen_(screen)
    {
        if (screen_)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            w_->setCursor(Qt::WaitCursor);
    }
    ~WaitPointer()
    {
        if (screen_)
            QApplication::restoreOverrideCursor();
        else if (w_)
            w_->unsetCursor();
    }
    WaitPointer(const WaitPointer &) = delete;
    WaitPointer &operator=(const WaitPointer &) = delete;

private:
    QPointer<QWidget> w_;
    bool screen_;
};

QGroupBox *group(QWidget *parent, const char *name, const QString &title)
{
    return controls::named(new QGroupBox(title, parent), QString::fromLatin1(name));
}

} // namespace

frmExpSet::frmExpSet()
{
    setObjectName(QStringLiteral("frmExpSet"));
    setWindowTitle(QStringLiteral("Export Data Setup"));
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose, false);

    fraMaster = controls::named(new QFrame(this), QStringLiteral("fraMaster"));
    auto *master = new QVBoxLayout(fraMaster);
    master->addWidget(buildDestinFrame());
    master->addWidget(buildSheetsFrame());
    master->addLayout(buildBookRow());
    master->addWidget(buildProgressFrame());
    master->addLayout(buildKeyRow());

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(fraMaster);
}

QGroupBox *frmExpSet::buildDestinFrame()
{
    fraDestin = group(this, "fraDestin", QStringLiteral("Destination"));
    auto *dl = new QHBoxLayout(fraDestin);
    // The choice is kept with the other settings, but no export reads it:
    // every export writes a workbook, and the frame says so where it is chosen.
    const QString always = QStringLiteral("Exports always write a workbook (.xlsx), whichever destination is chosen");
    controls::makeIndexed<QRadioButton>(
        optDestin, fraDestin, QStringLiteral("optDestin"),
        {QStringLiteral("Text File"), QStringLiteral("Word Document"), QStringLiteral("Excel Spread Sheet")}, {always});
    fraDestin->setToolTip(always);
    fraDestin->setStatusTip(always);
    for (QRadioButton *o : optDestin) {
        o->setStatusTip(always);
        dl->addWidget(o);
    }
    return fraDestin;
}

QGroupBox *frmExpSet::buildSheetsFrame()
{
    fraXlSheets = group(this, "fraXlSheets", QStringLiteral("Excel Worksheets Setup"));
    auto *xl = new QVBoxLayout(fraXlSheets);
    fraExcSetup = group(this, "fraExcSetup", QStringLiteral("Select Setup to be used"));
    auto *sl = new QHBoxLayout(fraExcSetup);
    controls::makeIndexed<QRadioButton>(optExcSetup, fraExcSetup, QStringLiteral("optExcSetup"),
                                        {QStringLiteral("This Table"), QStringLiteral("Excel iSetup Sheet")});
    for (QRadioButton *o : optExcSetup)
        sl->addWidget(o);
    xl->addWidget(fraExcSetup);
    xl->addWidget(buildColumnsFrame());

    fraRfrsh = group(this, "fraRfrsh", QStringLiteral("Apply Setup to"));
    auto *rl = new QHBoxLayout(fraRfrsh);
    // Numbered by sheet type, from 1.
    controls::makeIndexed<QPushButton>(cmdRfrsh, fraRfrsh, QStringLiteral("cmdRfrsh"),
                                       {QStringLiteral("String"), QStringLiteral("Folder"), QStringLiteral("eDisk"),
                                        QStringLiteral("CFile"), QStringLiteral("Capture")},
                                       {}, 1);
    for (int t = 1; t <= 5; ++t)
        rl->addWidget(cmdRfrsh[t]);
    xl->addWidget(fraRfrsh);
    return fraXlSheets;
}

QFrame *frmExpSet::buildColumnsFrame()
{
    fraExpSetup = controls::named(new QFrame(fraXlSheets), QStringLiteral("fraExpSetup"));
    auto *grid = new QGridLayout(fraExpSetup);
    const QString formulaTip = QStringLiteral("Add Formulas for Incremental Statistics");
    const QString top = QStringLiteral("Top Fixed Row");
    const QString every = QStringLiteral("Before Every String");
    // The four frames of boxes, two a row.
    struct Group {
        QGroupBox *&frame;
        const char *name;
        QString title;
        std::span<QCheckBox *> boxes;
        const char *stem;
        QStringList captions;
        QStringList tips;
    };
    const Group groups[] = {
        {fraNames, "fraNames", QStringLiteral("Show Name Identifier"), chkExcNames, "chkExcNames", {top, every},
         {QStringLiteral("Add data nemes labels")}},
        {fraUnits, "fraUnits", QStringLiteral("Show Units Identifier"), chkExcUnits, "chkExcUnits",
         {top, every, QStringLiteral("After Data Value")},
         {QStringLiteral("Add Units Labels at the beginig of eash string"),
          QStringLiteral("Show Units name after each value")}},
        {fraStats, "fraStats", QStringLiteral("Add Formulas For"), chkExcStats, "chkExcStats",
         {QStringLiteral("Incremental Stats"), QStringLiteral("Summery Stats "), QStringLiteral("Power && Energy")},
         {formulaTip}},
        {fraAttPos, "fraAttPos", QStringLiteral("Folder && String Identifier"), chkAttPos, "chkAttPos",
         {QStringLiteral("Folder Numbers"), QStringLiteral("String Numbers")}, {formulaTip}},
    };
    for (const Group &g : groups)
        g.frame = group(this, g.name, g.title);
    // The frames of formulas say what they add in their own tip too.
    fraStats->setToolTip(formulaTip);
    fraAttPos->setToolTip(formulaTip);
    for (size_t n = 0; n < std::size(groups); ++n) {
        const Group &g = groups[n];
        auto *column = new QVBoxLayout(g.frame);
        const auto boxes = controls::makeIndexed(g.boxes, g.frame, QString::fromLatin1(g.stem), g.captions, g.tips);
        controls::addAll(column, controls::widgets(boxes));
        grid->addWidget(g.frame, int(n) / 2, int(n) % 2);
    }
    return fraExpSetup;
}

QHBoxLayout *frmExpSet::buildBookRow()
{
    auto *row = new QHBoxLayout;
    fraBook = group(this, "fraBook", QStringLiteral("Workbook"));
    auto *bl = new QHBoxLayout(fraBook);
    const auto books = controls::makeIndexed<QPushButton>(
        cmdBukKey, fraBook, QStringLiteral("cmdBukKey"),
        {QStringLiteral("New"), QStringLiteral("Open"), QStringLiteral("Close")});
    controls::addAll(bl, controls::widgets(books));
    row->addWidget(fraBook);
    auto *checks = new QVBoxLayout;
    chkShowINots = controls::make<QCheckBox>(
        this, {QStringLiteral("chkShowINots"), QStringLiteral("Show rUvuzu Help")}, kWhere);
    chkShowJotrix = controls::make<QCheckBox>(
        this, {QStringLiteral("chkShowJotrix"), QStringLiteral("Show Jotrix")}, kWhere);
    controls::makeIndexed<QCheckBox>(chkExcCapture, this, QStringLiteral("chkExcCapture"),
                                     {QStringLiteral("Linked to KT4")}, {QStringLiteral("Add data nemes labels")});
    controls::addAll(checks, {chkShowINots, chkShowJotrix, chkExcCapture[0]});
    row->addLayout(checks);
    return row;
}

QFrame *frmExpSet::buildProgressFrame()
{
    fraPrgrs[0] = controls::named(new QFrame(this), QStringLiteral("fraPrgrs"));
    fraPrgrs[0]->setFrameShape(QFrame::Box);
    auto *pl = new QHBoxLayout(fraPrgrs[0]);
    labPrgrs = controls::named(new QLabel(QStringLiteral("Progress..."), fraPrgrs[0]), QStringLiteral("labPrgrs"));
    pl->addWidget(labPrgrs);
    return fraPrgrs[0];
}

QHBoxLayout *frmExpSet::buildKeyRow()
{
    auto *keys = new QHBoxLayout;
    const auto setKeys = controls::makeIndexed<QPushButton>(
        cmdExpSetKey, this, QStringLiteral("cmdExpSetKey"),
        {QStringLiteral("Save"), QStringLiteral("Default"), QStringLiteral("Restore")});
    controls::addAll(keys, controls::widgets(setKeys));
    keys->addStretch();
    const auto exits = controls::make<QPushButton>(
        this,
        {{QStringLiteral("cmdHelp"), QStringLiteral("Help")}, {QStringLiteral("cmdExpSetClose"), QStringLiteral("Exit")}},
        kWhere);
    cmdHelp = exits[0];
    cmdExpSetClose = exits[1];
    controls::addAll(keys, controls::widgets(exits));
    return keys;
}

frmExpSet::~frmExpSet() = default;

void frmExpSet::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmExpSet::lodExpSetup() { getSetux(); }

void frmExpSet::showDialog()
{
    showModal(get());
}

void frmExpSet::getSetux()
{
    const QString app = AppTitle;
    ExpDestin = int16_t(GetSettingInt(app, kSection, QStringLiteral("ExpDestin"), 2));
    for (const BoolKey &k : boolKeys())
        *k.value = GetSettingBool(app, kSection, QString::fromLatin1(k.key), k.def);
}

void frmExpSet::savSetux()
{
    const QString app = AppTitle;
    SaveSetting(app, kSection, QStringLiteral("ExpDestin"), QString::number(ExpDestin));
    for (const BoolKey &k : boolKeys())
        SaveSetting(app, kSection, QString::fromLatin1(k.key), boolText(*k.value));
    expSetDirty = false;
    cmdExpSetKey[0]->setEnabled(false);
}

void frmExpSet::Form_Load()
{
    trkForm(0, "ExpSet");
    const auto wire = [this](QAbstractButton *b, const QString &where, std::function<void()> body) {
        connect(b, &QAbstractButton::clicked, this, [where, body] { guarded(where, body); });
    };
    for (int i = 0; i < 3; ++i) {
        wire(optDestin[i], QStringLiteral("frmExpSet/optDestin_Click"), [this, i] { optDestin_Click(i); });
        wire(chkExcUnits[i], QStringLiteral("frmExpSet/chkExcUnits_Click"), [this, i] { chkExcUnits_Click(i); });
        wire(chkExcStats[i], QStringLiteral("frmExpSet/chkExcStats_Click"), [this, i] { chkExcStats_Click(i); });
        wire(cmdExpSetKey[i], QStringLiteral("frmExpSet/cmdExpSetKey_Click"), [this, i] { cmdExpSetKey_Click(i); });
        wire(cmdBukKey[i], QStringLiteral("frmExpSet/cmdBukKey_Click"), [this, i] { cmdBukKey_Click(i); });
    }
    for (int i = 0; i < 2; ++i) {
        wire(optExcSetup[i], QStringLiteral("frmExpSet/optExcSetup_Click"), [this, i] { optExcSetup_Click(i); });
        wire(chkExcNames[i], QStringLiteral("frmExpSet/chkExcNames_Click"), [this, i] { chkExcNames_Click(i); });
        wire(chkAttPos[i], QStringLiteral("frmExpSet/chkAttPos_Click"), [this, i] { chkAttPos_Click(i); });
    }
    for (int t = 1; t <= 5; ++t)
        wire(cmdRfrsh[t], QStringLiteral("frmExpSet/cmdRfrsh_Click"), [this, t] { cmdRfrsh_Click(t); });
    wire(chkShowINots, QStringLiteral("frmExpSet/chkShowINots_Click"), [this] { chkShowINots_Click(); });
    wire(chkShowJotrix, QStringLiteral("frmExpSet/chkShowJotrix_Click"), [this] { chkShowJotrix_Click(); });
    wire(chkExcCapture[0], QStringLiteral("frmExpSet/chkExcCapture_Click"), [this] { chkExcCapture_Click(0); });
    wire(cmdExpSetClose, QStringLiteral("frmExpSet/cmdExpSetClose_Click"), [this] { cmdExpSetClose_Click(); });
    wire(cmdHelp, QStringLiteral("frmExpSet/cmdHelp_Click"), [this] { cmdHelp_Click(); });

    getSetux();
    shwExpSetup();
    expSetDirty = false;
    cmdExpSetKey[0]->setEnabled(false);
    fraPrgrs[0]->hide();
    chkExcCapture[0]->setChecked(xlLinked);
    if (!SoftTest) {
        for (QWidget *w : std::initializer_list<QWidget *>{cmdRfrsh[4], cmdRfrsh[5], cmdBukKey[1], chkShowINots,
                                                          chkShowJotrix, cmdHelp})
            w->setEnabled(false);
    }
    // The window stays over the main window and the spreadsheet while open.
    setOnTop(this);
}

void frmExpSet::shwExpSetup()
{
    if (ExpDestin < 0 || ExpDestin > 2)
        ExpDestin = 2;
    optDestin[ExpDestin]->setChecked(true);
    chkShowINots->setChecked(ExpShowINots);
    const XlSession &x = XlSes;
    for (int i = 0; i < 3; ++i) {
        chkExcUnits[i]->setChecked(x.ExpExcUHed[i]);
        chkExcStats[i]->setChecked(x.ExpExcFSts[i]);
    }
    for (int i = 0; i < 2; ++i) {
        chkExcNames[i]->setChecked(x.ExpExcNHed[i]);
        chkAttPos[i]->setChecked(x.ExpExcIPos[i]);
    }
    chkShowJotrix->setChecked(x.ExpExcXLog);
    optExcSetup[1]->setChecked(x.ExpExcXSet);
    optExcSetup[0]->setChecked(!x.ExpExcXSet);
}

void frmExpSet::getExpCtls()
{
    ExpDestin = 2;
    for (int16_t i = 0; i < 3; ++i)
        if (optDestin[i]->isChecked())
            ExpDestin = i;
    ExpShowINots = chkShowINots->isChecked();
    XlSession &x = XlSes;
    x.ExpExcXSet = optExcSetup[1]->isChecked();
    for (int i = 0; i < 3; ++i) {
        if (i < 2) {
            x.ExpExcNHed[i] = chkExcNames[i]->isChecked();
            x.ExpExcIPos[i] = chkAttPos[i]->isChecked();
        }
        x.ExpExcUHed[i] = chkExcUnits[i]->isChecked();
        x.ExpExcFSts[i] = chkExcStats[i]->isChecked();
    }
    x.ExpExcXLog = chkShowJotrix->isChecked();
}

void frmExpSet::rstExpSetup()
{
    ExpDestin = 2;
    ExpShowINots = true;
    XlSes.ExpExcXSet = false;
    setExpDefs();
}

void frmExpSet::showDirty() { cmdExpSetKey[0]->setEnabled(expSetDirty); }

void frmExpSet::chkExcUnits_Click(int index)
{
    expSetDirty = chkExcUnits[index]->isChecked() != XlSes.ExpExcUHed[index];
    showDirty();
}

void frmExpSet::chkExcNames_Click(int index)
{
    expSetDirty = chkExcNames[index]->isChecked() != XlSes.ExpExcNHed[index];
    showDirty();
}

void frmExpSet::chkExcStats_Click(int index)
{
    expSetDirty = chkExcStats[index]->isChecked() != XlSes.ExpExcFSts[index];
    showDirty();
}

void frmExpSet::chkAttPos_Click(int index)
{
    expSetDirty = chkAttPos[index]->isChecked() != XlSes.ExpExcIPos[index];
    showDirty();
}

void frmExpSet::chkShowINots_Click()
{
    if (chkShowINots->isChecked() != ExpShowINots)
        expSetDirty = true;
    showDirty();
}

void frmExpSet::chkShowJotrix_Click()
{
    if (chkShowJotrix->isChecked() != XlSes.ExpExcXLog)
        expSetDirty = true;
    showDirty();
}

void frmExpSet::optExcSetup_Click(int index)
{
    (void)index;
    if (optExcSetup[1]->isChecked() != XlSes.ExpExcXSet)
        expSetDirty = true;
    showDirty();
}

void frmExpSet::optDestin_Click(int index)
{
    if (index != ExpDestin)
        expSetDirty = true;
    ExpDestin = int16_t(index);
    showDirty();
}

// It shows the live link's state; the link is switched elsewhere.
void frmExpSet::chkExcCapture_Click(int index)
{
    chkExcCapture[index]->setChecked(xlLinked);
}

void frmExpSet::cmdExpSetKey_Click(int index)
{
    switch (index) {
    case 0:
        getExpCtls();
        savSetux();
        break;
    case 1:
        rstExpSetup();
        shwExpSetup();
        expSetDirty = true;
        break;
    case 2:
        getSetux();
        shwExpSetup();
        break;
    default:
        return;
    }
    showDirty();
}

void frmExpSet::askSavSetup(bool &answer)
{
    const int reply = MsgBox(QStringLiteral("Setup has changed!") + crlf + QStringLiteral("Save Changes Before Closing..?"),
                             vbYesNoCancel | vbDefaultButton3 | vbSystemModal | vbMsgBoxSetForeground);
    answer = reply != vbCancel;
    if (reply == vbYes) {
        getExpCtls();
        savSetux();
    }
}

void frmExpSet::cmdExpSetClose_Click()
{
    if (expSetDirty) {
        bool allow = false;
        askSavSetup(allow);
        if (!allow)
            return;
    }
    unload(vbFormCode);
}

void frmExpSet::Form_QueryUnload(int &cancel, int unloadMode)
{
    if (unloadMode != vbFormControlMenu || !expSetDirty)
        return;
    bool allow = false;
    askSavSetup(allow);
    if (!allow)
        cancel = 1;
}

void frmExpSet::Form_Unload(int &cancel)
{
    (void)cancel;
    expSetDirty = false;
    if (frmMDI *mdi = frmMDI::instance(); mdi && mdi->windowState().testFlag(Qt::WindowMinimized))
        mdi->setWindowState(Qt::WindowNoState);
    trkForm(1, "ExpSet");
}

void frmExpSet::cmdHelp_Click() { nbrNotes().seeMsgNote(5, 0); }

void frmExpSet::progress(bool on)
{
    fraPrgrs[0]->setVisible(on);
    if (on)
        fraPrgrs[0]->repaint();
}

void frmExpSet::cmdRfrsh_Click(int index)
{
    if (index < 1 || index > 5)
        return;
    if (!xlBookOk) {
        MsgBox(QStringLiteral("Nothing to do..!") + crlf + QStringLiteral("There are No Excel workbooks Connected to Vantrell."),
               kNotice);
        return;
    }
    cmdRfrsh[index]->setEnabled(false);
    {
        WaitPointer wait(this, true);
        getExpCtls();
        fraExpSetup->setEnabled(false);
        labPrgrs->setText(QStringLiteral("Please Wait - Aplying Setup To Excel..."));
        progress(true);
        apyXlSetup(int16_t(index));
        progress(false);
        fraExpSetup->setEnabled(true);
    }
    cmdRfrsh[index]->setEnabled(true);
}

void frmExpSet::cmdBukKey_Click(int index)
{
    QPointer<frmExpSet> self(this);
    bool done = false;
    {
        WaitPointer wait(this, false);
        labPrgrs->setText(QStringLiteral("Please Wait..."));
        progress(true);
        switch (index) {
        case 0:
            if (xlBookOk) {
                nbrNotes().seeMsgNote(4, 0);
                break;
            }
            labPrgrs->setText(labPrgrs->text() + QStringLiteral("Loading Excel..."));
            labPrgrs->repaint();
            excOpen(0, 1);
            if (!self)
                return;
            if (xlBookOk) {
                trapErrors([] {
                    spreadsheetApp()->setVisible(true);
                    spreadsheetApp()->Workbooks(1)->Worksheets(1)->Activate();
                });
                Err.Clear();
                labPrgrs->setText(QStringLiteral("Done..."));
                done = true;
            } else {
                MsgBox(QStringLiteral("Faialed to Connect to Excel.!"), kNotice);
            }
            break;
        case 1:
            if (xlBookOk) {
                nbrNotes().seeMsgNote(4, 1);
                break;
            }
            if (chkShowJotrix->isChecked() && nbrNotes().askMsgNote(4, 0) != vbYes)
                break;
            progress(false);
            unload(vbFormCode);
            opnXlBook();
            return;
        case 2:
            if (xlBookOk) {
                progress(false);
                unload(vbFormCode);
                clsXlBook();
                return;
            }
            MsgBox(QStringLiteral("Nothing to do..!") + crlf
                       + QStringLiteral("There are no Excel Workbooks connected to Vantrell."),
                   kNotice);
            break;
        default:
            break;
        }
        if (self)
            progress(false);
    }
    if (done && self)
        unload(vbFormCode);
}

} // namespace vt
