#include "export/frmExpSet.h"

#include "export/modExpExc.h"
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
#include <vector>

namespace vt {

namespace {

const QString kSection = QStringLiteral("frmExpSet");
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

} // namespace

frmExpSet::frmExpSet()
{
    setObjectName(QStringLiteral("frmExpSet"));
    setWindowTitle(QStringLiteral("Export Data Setup"));
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose, false);

    const auto button = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    const auto check = [this](const char *name, const QString &caption, const QString &tip = {}) {
        auto *c = new QCheckBox(caption, this);
        c->setObjectName(QString::fromLatin1(name));
        if (!tip.isEmpty())
            c->setToolTip(tip);
        return c;
    };
    const auto group = [this](const char *name, const QString &caption) {
        auto *g = new QGroupBox(caption, this);
        g->setObjectName(QString::fromLatin1(name));
        return g;
    };

    fraMaster = new QFrame(this);
    fraMaster->setObjectName(QStringLiteral("fraMaster"));
    auto *master = new QVBoxLayout(fraMaster);

    fraDestin = group("fraDestin", QStringLiteral("Destination"));
    auto *dl = new QHBoxLayout(fraDestin);
    const QString dests[3] = {QStringLiteral("Text File"), QStringLiteral("Word Document"),
                              QStringLiteral("Excel Spread Sheet")};
    for (int i = 0; i < 3; ++i) {
        optDestin[i] = new QRadioButton(dests[i], fraDestin);
        optDestin[i]->setObjectName(QStringLiteral("optDestin"));
        optDestin[i]->setProperty("Index", i);
        dl->addWidget(optDestin[i]);
    }
    // The choice is kept with the other settings, but no export reads it:
    // every export writes a workbook, and the frame says so where it is chosen.
    const QString always = QStringLiteral("Exports always write a workbook (.xlsx), whichever destination is chosen");
    fraDestin->setToolTip(always);
    fraDestin->setStatusTip(always);
    for (QRadioButton *o : optDestin) {
        o->setToolTip(always);
        o->setStatusTip(always);
    }
    master->addWidget(fraDestin);

    fraXlSheets = group("fraXlSheets", QStringLiteral("Excel Worksheets Setup"));
    auto *xl = new QVBoxLayout(fraXlSheets);
    fraExcSetup = group("fraExcSetup", QStringLiteral("Select Setup to be used"));
    auto *sl = new QHBoxLayout(fraExcSetup);
    const QString setups[2] = {QStringLiteral("This Table"), QStringLiteral("Excel iSetup Sheet")};
    for (int i = 0; i < 2; ++i) {
        optExcSetup[i] = new QRadioButton(setups[i], fraExcSetup);
        optExcSetup[i]->setObjectName(QStringLiteral("optExcSetup"));
        optExcSetup[i]->setProperty("Index", i);
        sl->addWidget(optExcSetup[i]);
    }
    xl->addWidget(fraExcSetup);

    fraExpSetup = new QFrame(fraXlSheets);
    fraExpSetup->setObjectName(QStringLiteral("fraExpSetup"));
    auto *grid = new QGridLayout(fraExpSetup);
    const QString formulaTip = QStringLiteral("Add Formulas for Incremental Statistics");
    fraNames = group("fraNames", QStringLiteral("Show Name Identifier"));
    fraUnits = group("fraUnits", QStringLiteral("Show Units Identifier"));
    fraStats = group("fraStats", QStringLiteral("Add Formulas For"));
    fraAttPos = group("fraAttPos", QStringLiteral("Folder && String Identifier"));
    fraStats->setToolTip(formulaTip);
    fraAttPos->setToolTip(formulaTip);
    auto *nl = new QVBoxLayout(fraNames);
    auto *ul = new QVBoxLayout(fraUnits);
    auto *fl = new QVBoxLayout(fraStats);
    auto *al = new QVBoxLayout(fraAttPos);
    const QString names[2] = {QStringLiteral("Top Fixed Row"), QStringLiteral("Before Every String")};
    for (int i = 0; i < 2; ++i) {
        chkExcNames[i] = check("chkExcNames", names[i], QStringLiteral("Add data nemes labels"));
        nl->addWidget(chkExcNames[i]);
    }
    const QString units[3] = {QStringLiteral("Top Fixed Row"), QStringLiteral("Before Every String"),
                              QStringLiteral("After Data Value")};
    for (int i = 0; i < 3; ++i) {
        chkExcUnits[i] = check("chkExcUnits", units[i],
                               i == 0 ? QStringLiteral("Add Units Labels at the beginig of eash string")
                                      : QStringLiteral("Show Units name after each value"));
        ul->addWidget(chkExcUnits[i]);
    }
    const QString stats[3] = {QStringLiteral("Incremental Stats"), QStringLiteral("Summery Stats "),
                              QStringLiteral("Power && Energy")};
    for (int i = 0; i < 3; ++i) {
        chkExcStats[i] = check("chkExcStats", stats[i], formulaTip);
        fl->addWidget(chkExcStats[i]);
    }
    const QString pos[2] = {QStringLiteral("Folder Numbers"), QStringLiteral("String Numbers")};
    for (int i = 0; i < 2; ++i) {
        chkAttPos[i] = check("chkAttPos", pos[i], formulaTip);
        al->addWidget(chkAttPos[i]);
    }
    for (QCheckBox **arr : {chkExcNames, chkAttPos})
        for (int i = 0; i < 2; ++i)
            arr[i]->setProperty("Index", i);
    for (QCheckBox **arr : {chkExcUnits, chkExcStats})
        for (int i = 0; i < 3; ++i)
            arr[i]->setProperty("Index", i);
    grid->addWidget(fraNames, 0, 0);
    grid->addWidget(fraUnits, 0, 1);
    grid->addWidget(fraStats, 1, 0);
    grid->addWidget(fraAttPos, 1, 1);
    xl->addWidget(fraExpSetup);

    fraRfrsh = group("fraRfrsh", QStringLiteral("Apply Setup to"));
    auto *rl = new QHBoxLayout(fraRfrsh);
    const QString sheets[5] = {QStringLiteral("String"), QStringLiteral("Folder"), QStringLiteral("eDisk"),
                               QStringLiteral("CFile"), QStringLiteral("Capture")};
    for (int t = 1; t <= 5; ++t) {
        cmdRfrsh[t] = button("cmdRfrsh", sheets[t - 1]);
        cmdRfrsh[t]->setProperty("Index", t);
        rl->addWidget(cmdRfrsh[t]);
    }
    xl->addWidget(fraRfrsh);
    master->addWidget(fraXlSheets);

    auto *row = new QHBoxLayout;
    fraBook = group("fraBook", QStringLiteral("Workbook"));
    auto *bl = new QHBoxLayout(fraBook);
    const QString books[3] = {QStringLiteral("New"), QStringLiteral("Open"), QStringLiteral("Close")};
    for (int i = 0; i < 3; ++i) {
        cmdBukKey[i] = button("cmdBukKey", books[i]);
        cmdBukKey[i]->setProperty("Index", i);
        bl->addWidget(cmdBukKey[i]);
    }
    row->addWidget(fraBook);
    auto *checks = new QVBoxLayout;
    chkShowINots = check("chkShowINots", QStringLiteral("Show rUvuzu Help"));
    chkShowJotrix = check("chkShowJotrix", QStringLiteral("Show Jotrix"));
    chkExcCapture[0] = check("chkExcCapture", QStringLiteral("Linked to KT4"), QStringLiteral("Add data nemes labels"));
    chkExcCapture[0]->setProperty("Index", 0);
    checks->addWidget(chkShowINots);
    checks->addWidget(chkShowJotrix);
    checks->addWidget(chkExcCapture[0]);
    row->addLayout(checks);
    master->addLayout(row);

    fraPrgrs[0] = new QFrame(this);
    fraPrgrs[0]->setObjectName(QStringLiteral("fraPrgrs"));
    fraPrgrs[0]->setFrameShape(QFrame::Box);
    auto *pl = new QHBoxLayout(fraPrgrs[0]);
    labPrgrs = new QLabel(QStringLiteral("Progress..."), fraPrgrs[0]);
    labPrgrs->setObjectName(QStringLiteral("labPrgrs"));
    pl->addWidget(labPrgrs);
    master->addWidget(fraPrgrs[0]);

    auto *keys = new QHBoxLayout;
    const QString keyCaps[3] = {QStringLiteral("Save"), QStringLiteral("Default"), QStringLiteral("Restore")};
    for (int i = 0; i < 3; ++i) {
        cmdExpSetKey[i] = button("cmdExpSetKey", keyCaps[i]);
        cmdExpSetKey[i]->setProperty("Index", i);
        keys->addWidget(cmdExpSetKey[i]);
    }
    keys->addStretch();
    cmdHelp = button("cmdHelp", QStringLiteral("Help"));
    cmdExpSetClose = button("cmdExpSetClose", QStringLiteral("Exit"));
    keys->addWidget(cmdHelp);
    keys->addWidget(cmdExpSetClose);
    master->addLayout(keys);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(fraMaster);
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
