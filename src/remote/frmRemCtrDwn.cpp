// The panel's Download: which part of the eDisk to pull and where it goes.

#include "remote/frmRemCtr.h"

#include "chrono/modCroDnl.h"
#include "chrono/modCroLnk.h"
#include "chrono/modCroStatus.h"
#include "editor/frmDocument.h"
#include "editor/modCapFmt.h"
#include "editor/modDocument.h"
#include "platform/controls.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/spreadsheet.h"
#include "platform/timers.h"
#include "platform/waiting.h"
#include "shell/modBusy.h"
#include "shell/modNeighbours.h"
#include "shell/modStartNbrs.h"
#include "shell/modStatus.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace vt {

namespace {

// Sorts received text line by line: the unit's shot lines ("CAP:" and the
// "# " lines of its statistics), which it may send while a dump or its
// keys' answers are under way, from the rest. A shot line glued to the
// prompt before it leaves the prompt with the rest. Either part may be left
// out (null).
void splitLiveLines(const QString &text, QString *rest, QString *live)
{
    QString restOut, liveOut;
    qsizetype at = 0;
    while (at < text.size()) {
        qsizetype end = at;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        while (end < text.size() && (text[end] == u'\r' || text[end] == u'\n'))
            ++end;
        const QStringView line = QStringView(text).mid(at, end - at);
        qsizetype shot = -1;
        if (line.startsWith(u"CAP:") || line.startsWith(u"# "))
            shot = 0;
        else if ((line.startsWith(u"DAT>") || line.startsWith(u"STS>")) && line.mid(4).startsWith(u"CAP:"))
            shot = 4;
        if (shot < 0) {
            restOut += line;
        } else {
            restOut += line.left(shot);
            liveOut += line.mid(shot);
        }
        at = end;
    }
    if (rest)
        *rest = restOut;
    if (live)
        *live = liveOut;
}

// How long a shot line that is still arriving when a download ends is given
// to end (a line at 4800 baud takes about a tenth of a second).
constexpr int kShotLineWaitMs = 1000;

// True when the text's last line, not ended yet, is one of the unit's shot lines.
bool endsInShotLine(const QString &text)
{
    qsizetype start = text.size();
    while (start > 0 && text[start - 1] != u'\r' && text[start - 1] != u'\n')
        --start;
    if (start == text.size())
        return false;
    QString live;
    splitLiveLines(text.mid(start), nullptr, &live);
    return !live.isEmpty();
}

} // namespace

// A choice between a new CFile and an open one, as the download and the
// live link both offer it: two radio buttons of one group, side by side.
static void cfileChoice(QWidget *parent, QGridLayout *grid, int row, const QString &stem, QRadioButton *&toNew,
                 QRadioButton *&toOpen, const std::function<void()> &onNew, const std::function<void()> &onOpen)
{
    const QString where = QStringLiteral("frmRemCtr-");
    auto *group = new QButtonGroup(parent);
    toNew = controls::make<QRadioButton>(parent, {stem + QStringLiteral("New"), QStringLiteral("New CFile"), onNew}, where);
    toOpen = controls::make<QRadioButton>(parent, {stem + QStringLiteral("Sel"), QStringLiteral("Open CFile"), onOpen}, where);
    group->addButton(toNew);
    group->addButton(toOpen);
    grid->addWidget(toNew, row, 0);
    grid->addWidget(toOpen, row, 1);
}

QGroupBox *frmRemCtr::buildDwn()
{
    auto *fra = controls::named(new QGroupBox(QStringLiteral("Download"), this), QStringLiteral("fraDwn"));
    auto *grid = new QGridLayout(fra);
    const QString where = QStringLiteral("frmRemCtr-");

    auto *src = new QButtonGroup(fra);
    auto *dst = new QButtonGroup(fra);
    const QStringList sources = {QStringLiteral("String"), QStringLiteral("Folder"), QStringLiteral("eDisk")};
    const QStringList dests = {QStringLiteral("Buffer"), QStringLiteral("CFile"), QStringLiteral("Excel")};
    for (int i = 0; i < 3; ++i) {
        optDwnSrc[i] = controls::make<QRadioButton>(fra, {QStringLiteral("optDwnSrc") + QString::number(i), sources[i]}, where);
        src->addButton(optDwnSrc[i]);
        grid->addWidget(optDwnSrc[i], 0, i);
        optDwnDes[i] = controls::make<QRadioButton>(
            fra, {QStringLiteral("optDwnDes") + QString::number(i), dests[i], [this, i] { optDwnDes_Click(i); }}, where);
        dst->addButton(optDwnDes[i]);
        grid->addWidget(optDwnDes[i], 1, i);
    }
    optDwnSrc[2]->setChecked(true);
    optDwnDes[0]->setChecked(true);

    cfileChoice(fra, grid, 2, QStringLiteral("optDwnDesCFile"), optDwnDesCFileNew, optDwnDesCFileSel,
                [this] { optDwnDesCFileNew_Click(); }, [this] { optDwnDesCFileSel_Click(); });
    optDwnDesCFileNew->setChecked(true);
    txtDwnDesCFile = controls::named(new QLineEdit(fra), QStringLiteral("txtDwnDesCFile"), QStringLiteral("New CFile name"));
    grid->addWidget(txtDwnDesCFile, 3, 0, 1, 3);
    grid->addWidget(deferList(lstDwnDesCFile, fra, QStringLiteral("lstDwnDesCFile"), QStringLiteral("Open CFiles"), 80,
                              [this, where](QListWidget *l) {
                                  l->addItem(QStringLiteral("No Active CFiles"));
                                  controls::onSignal(l, &QListWidget::itemClicked,
                                                     where + QStringLiteral("lstDwnDesCFile_Click"),
                                                     [this] { lstDwnDesCFile_Click(); });
                              }),
                    4, 0, 1, 3);

    fraDwnDesSee = controls::named(new QGroupBox(fra), QStringLiteral("fraDwnDesSee"));
    txtDwnDesSee = controls::named(new QLineEdit(fraDwnDesSee), QStringLiteral("txtDwnDesSee"), QStringLiteral("Destination"));
    txtDwnDesSee->setReadOnly(true);
    (new QVBoxLayout(fraDwnDesSee))->addWidget(txtDwnDesSee);
    grid->addWidget(fraDwnDesSee, 5, 0, 1, 3);

    cmdDownload = controls::make<QPushButton>(
        fra, {QStringLiteral("cmdDownload"), QStringLiteral("Download"), [this] { cmdDownload_Click(); }}, where);
    grid->addWidget(cmdDownload, 6, 0);
    fraWPrgrs = controls::named(new QLabel(QStringLiteral("Please wait..."), fra), QStringLiteral("fraWPrgrs"));
    fraWPrgrs->hide();
    grid->addWidget(fraWPrgrs, 6, 1, 1, 2);

    // The string size of the unit (shots a string): the label shows how many
    // strings fit into the 40-shot memory of a folder at that size.
    auto *strRow = new QHBoxLayout;
    QWidget *sizes = deferList(lstSetHwrStr, fra, QStringLiteral("lstSetHwrStr"), QStringLiteral("String size"), 80,
                               [this, where](QListWidget *l) {
                                   for (int n : {0, 1, 2, 4, 5, 8, 10, 20, 40})
                                       l->addItem(QString::number(n));
                                   controls::onSignal(l, &QListWidget::itemClicked,
                                                      where + QStringLiteral("lstSetHwrStr_Click"),
                                                      [this] { lstSetHwrStr_Click(); });
                               });
    labSetHwrStrSiz = controls::named(new QLabel(QStringLiteral("0"), fra), QStringLiteral("labSetHwrStrSiz"));
    strRow->addWidget(sizes, 1);
    strRow->addWidget(labSetHwrStrSiz);
    grid->addLayout(strRow, 7, 0, 1, 3);

    seeDwnDesCFile();
    seeDwnDes();
    return fra;
}

void frmRemCtr::onnWPrgrs() { fraWPrgrs->show(); }
void frmRemCtr::offWPrgrs() { fraWPrgrs->hide(); }

void frmRemCtr::cmdDownload_Click()
{
    // The selection keys mean a dump only to the KT4.
    if (Device != 0) {
        nbrNotes().seeMsgNote(8, 1);
        return;
    }
    CroTaskGuard task;
    if (task.refused())
        return;
    const int style = vbOKOnly | vbSystemModal | vbMsgBoxSetForeground;
    int source = -1;
    for (int i = 0; i < 3; ++i)
        if (optDwnSrc[i]->isChecked())
            source = i;
    if (source < 0) {
        MsgBox(QStringLiteral("You Must Select Source."), style);
        return;
    }
    int destination = -1;
    for (int i = 0; i < 3; ++i)
        if (optDwnDes[i]->isChecked())
            destination = i;
    if (destination < 0) {
        MsgBox(QStringLiteral("You must Select Destination"), style);
        return;
    }
    // The CFile chosen from the list, checked before anything is sent so that
    // no dump arrives with nowhere to go.
    // Held weakly: the user may close it while the unit sends.
    QPointer<frmDocument> target;
    if (destination == 1 && optDwnDesCFileSel->isChecked()) {
        const QListWidgetItem *it = lstDwnDesCFile->currentItem();
        const int row = it ? it->data(Qt::UserRole).toInt() : -1;
        target = row >= 0 ? openCFiles().value(row) : nullptr;
        if (!target) {
            MsgBox(QStringLiteral("You must Select a CFile"), style);
            return;
        }
    }
    updAllSta();
    onnWPrgrs();
    // The dump goes where the user sent it, never into the CFile that takes
    // Shoot mode's shots: Shoot mode's route is off for the exchange. What the
    // unit sent besides the dump meanwhile (shots fired during a download) is
    // kept apart and goes to that CFile afterwards, ahead of the shots still
    // to come; the terminal shows everything as it came.
    const bool shoot = RxRoute[1];
    if (shoot && !shotCFile())
        setShotCFile(ActiveForm());
    const QPointer<frmDocument> shotDoc = shoot ? shotCFile() : nullptr;
    if (shoot)
        flushCFileFeed();
    RxRoute[1] = false;
    SerialNbr &term = nbrSerial();
    const int64_t from = term.termCut() + term.termText().size();
    sndCroKey(0, QStringLiteral("["), 0, 0);
    sndCroKey(0, QStringLiteral("D"), 1, 0);
    bool whole = false;
    if (!CroLnk.croErr)
        whole = croDumpKey(int16_t(source + 1));
    const auto since = [&term, from] {
        return term.termText().mid(qsizetype(std::max<int64_t>(0, from - term.termCut())));
    };
    QString received = since();
    // A shot line under way goes into the CFile whole: it may take a moment
    // to end (bounded, as the unit may have stopped).
    if (shoot)
        waiting::until({.done = [&] {
                            received = since();
                            return !endsInShotLine(received);
                        },
                        .boundMs = kShotLineWaitMs,
                        .lookMs = 20});
    QString live;
    splitLiveLines(received, nullptr, &live);
    if (whole)
        splitLiveLines(croDump, &croDump, nullptr);
    if (shotDoc && !live.isEmpty()) {
        // A shot line begins a line of its own.
        const bool midLine = !shotDoc->rtfText->document()->lastBlock().text().isEmpty();
        appendToCFile(shotDoc, (midLine ? QStringLiteral("\r\n") : QString()) + live);
    }
    RxRoute[1] = shoot;
    if (!whole)
        MsgBox(QStringLiteral("Download Failed") +
                   QStringLiteral("\r\nChronograph did not respond.\r\nCheck your setup or connections."),
               style);
    offWPrgrs();
    if (!whole)
        return;
    if (destination == 1) {
        // The CFile made for the dump is the one it goes into, whichever
        // window is active now.
        if (!target)
            target = createCFile();
        if (target)
            appendToCFile(target, croDump);
        RefreshCFile();
    } else if (destination == 2) {
        // The export reads the geometry and units of the dump from the status.
        getCroStatus();
        if (!nbrExport().expXlDump(int16_t(source)))
            MsgBox(QStringLiteral("The export to Excel is not available; the dump is in the terminal."), style);
    }
}

void frmRemCtr::optDwnDes_Click(int index)
{
    (void)index;
    seeDwnDesCFile();
    seeDwnDes();
}

void frmRemCtr::seeDwnDes()
{
    QString what = QStringLiteral("Error");
    if (optDwnDes[0]->isChecked())
        what = QStringLiteral("Buffer");
    else if (optDwnDes[1]->isChecked())
        what = QStringLiteral("CFile - Vantrell");
    else if (optDwnDes[2]->isChecked())
        what = QStringLiteral("Excel Spreadsheet");
    fraDwnDesSee->setTitle(QStringLiteral("Destination = ") + what);
}

void frmRemCtr::seeDwnDesCFile()
{
    const bool toCFile = optDwnDes[1]->isChecked();
    optDwnDesCFileNew->setEnabled(toCFile);
    optDwnDesCFileSel->setEnabled(toCFile);
    txtDwnDesCFile->setEnabled(toCFile && optDwnDesCFileNew->isChecked());
    // A list not made yet has no pick: it shows its state once made.
    QListWidget *list = lstDwnDesCFile.ifMade();
    if (list)
        list->setEnabled(toCFile && optDwnDesCFileSel->isChecked());
    QString see;
    if (toCFile) {
        if (optDwnDesCFileNew->isChecked())
            see = txtDwnDesCFile->text();
        else if (QListWidgetItem *it = list ? list->currentItem() : nullptr)
            see = it->text();
    }
    txtDwnDesSee->setText(see);
}

void frmRemCtr::optDwnDesCFileNew_Click() { seeDwnDesCFile(); }
void frmRemCtr::optDwnDesCFileSel_Click() { seeDwnDesCFile(); }

void frmRemCtr::lstDwnDesCFile_Click()
{
    if (optDwnDesCFileSel->isChecked())
        selCurCFile();
    seeDwnDesCFile();
}

void frmRemCtr::selCurCFile()
{
    const QString mark = QStringLiteral("(Current)");
    for (int i = 0; i < lstDwnDesCFile->count(); ++i) {
        QListWidgetItem *it = lstDwnDesCFile->item(i);
        const qsizetype at = it->text().indexOf(mark);
        if (at >= 0)
            it->setText(it->text().left(at));
    }
    if (QListWidgetItem *it = lstDwnDesCFile->currentItem())
        it->setText(it->text() + mark);
}

void frmRemCtr::lstSetHwrStr_Click()
{
    QListWidgetItem *it = lstSetHwrStr->currentItem();
    if (!it)
        return;
    int n = static_cast<int>(Val(it->text()));
    // Half to even, as the rest of the program rounds.
    if (n != 0)
        n = CInt(40.0 / n);
    labSetHwrStrSiz->setText(QString::number(n));
}

QWidget *frmRemCtr::buildHwrDes(QWidget *parent)
{
    auto *box = new QWidget(parent);
    auto *rows = new QVBoxLayout(box);
    rows->setContentsMargins(0, 0, 0, 0);
    const QString where = QStringLiteral("frmRemCtr-");

    // Shots to a CFile: the list's choice takes Shoot mode's shots (and
    // becomes the active CFile); the list marks the CFile taking them.
    fraHwrDesCFile = controls::named(new QGroupBox(QStringLiteral("Shots to CFile"), box), QStringLiteral("fraHwrDesCFile"));
    auto *cf = new QGridLayout(fraHwrDesCFile);
    cfileChoice(fraHwrDesCFile, cf, 0, QStringLiteral("optHwrDesCFile"), optHwrDesCFileNew, optHwrDesCFileSel,
                [this] { optHwrDesCFileNew_Click(); }, [this] { optHwrDesCFileSel_Click(); });
    optHwrDesCFileSel->setChecked(true);
    txtHwrDesCFile = controls::named(new QLineEdit(fraHwrDesCFile), QStringLiteral("txtHwrDesCFile"),
                                     QStringLiteral("New CFile name"));
    txtHwrDesCFile->setReadOnly(true);
    cf->addWidget(txtHwrDesCFile, 1, 0, 1, 2);
    QWidget *shotsList = deferList(lstHwrDesCFile, fraHwrDesCFile, QStringLiteral("lstHwrDesCFile"),
                                   QStringLiteral("Open CFiles for shots"), 70, [this, where](QListWidget *l) {
        controls::onSignal(l, &QListWidget::itemClicked, where + QStringLiteral("lstHwrDesCFile_Click"), [this, l] {
            QListWidgetItem *it = l->currentItem();
            const int row = it ? it->data(Qt::UserRole).toInt() : -1;
            const QList<frmDocument *> docs = openCFiles();
            if (row >= 0 && row < docs.size()) {
                // The pick takes the shots of a running session at once; in
                // Edit mode the next session begins in it.
                if (RxRoute[1])
                    setShotCFile(docs[row]);
                if (QMdiSubWindow *w = docs[row]->subWindow(); w && w->mdiArea())
                    w->mdiArea()->setActiveSubWindow(w);
            }
            RefreshCFile();
        });
    });
    cf->addWidget(shotsList, 2, 0, 1, 2);
    rows->addWidget(fraHwrDesCFile);

    // Shots to the workbook: the live link's next cell, read from the export.
    fraHwrDesExc = controls::named(new QGroupBox(QStringLiteral("Shots to Excel"), box), QStringLiteral("fraHwrDesExc"));
    auto *xg = new QGridLayout(fraHwrDesExc);
    optHwrDesExcNew = controls::make<QRadioButton>(
        fraHwrDesExc, {QStringLiteral("optHwrDesExcNew"), QStringLiteral("Capture sheet"), [this] { optHwrDesExcNew_Click(); }},
        where);
    optHwrDesExcNew->setAutoExclusive(false);
    optHwrDesExcNew->setChecked(true);
    xg->addWidget(optHwrDesExcNew, 0, 0, 1, 2);
    struct Field { QLabel *frmRemCtr::*lab; QLineEdit *frmRemCtr::*edit; const char *labName, *editName, *caption; };
    static const Field fields[] = {
        {&frmRemCtr::labHwrDesExcFile, &frmRemCtr::txtHwrDesExc, "labHwrDesExcFile", "txtHwrDesExc", "Workbook"},
        {&frmRemCtr::labHwrDesExcSheet, &frmRemCtr::txtHwrDesExcSheet, "labHwrDesExcSheet", "txtHwrDesExcSheet", "Sheet"},
        {&frmRemCtr::labHwrDesExcRow, &frmRemCtr::txtHwrDesExcRow, "labHwrDesExcRow", "txtHwrDesExcRow", "Row"},
        {&frmRemCtr::labHwrDesExcCol, &frmRemCtr::txtHwrDesExcCol, "labHwrDesExcCol", "txtHwrDesExcCol", "Column"},
    };
    int row = 1;
    for (const Field &fld : fields) {
        const QString caption = QString::fromLatin1(fld.caption);
        QLabel *lab = controls::named(new QLabel(caption, fraHwrDesExc), QString::fromLatin1(fld.labName));
        QLineEdit *edit = controls::named(new QLineEdit(fraHwrDesExc), QString::fromLatin1(fld.editName), caption);
        edit->setReadOnly(true);
        lab->setBuddy(edit);
        this->*fld.lab = lab;
        this->*fld.edit = edit;
        xg->addWidget(lab, row, 0);
        xg->addWidget(edit, row++, 1);
    }
    labHwrDesExcCell = controls::named(new QLabel(fraHwrDesExc), QStringLiteral("labHwrDesExcCell"));
    xg->addWidget(labHwrDesExcCell, 5, 0, 1, 2);
    chkHwrDesExcAdd = controls::make<QCheckBox>(fraHwrDesExc, {QStringLiteral("chkHwrDesExcAdd"), QStringLiteral("Add rows below")},
                                                where);
    chkHwrDesExcAdd->setChecked(true);
    chkHwrDesExcAdd->setEnabled(false); // the link always appends below the last row
    xg->addWidget(chkHwrDesExcAdd, 6, 0, 1, 2);
    rows->addWidget(fraHwrDesExc);

    seeHwrDesCFile();
    seeHwrDesExc();
    return box;
}

void frmRemCtr::optHwrDesCFileNew_Click() { seeHwrDesCFile(); }
void frmRemCtr::optHwrDesCFileSel_Click() { seeHwrDesCFile(); }
void frmRemCtr::optHwrDesExcNew_Click() { seeHwrDesExc(); }

void frmRemCtr::seeHwrDesCFile()
{
    if (!fraHwrDesCFile)
        return;
    const bool toNew = optHwrDesCFileNew->isChecked();
    txtHwrDesCFile->setEnabled(toNew);
    if (QListWidget *l = lstHwrDesCFile.ifMade())
        l->setEnabled(!toNew);
    // A new CFile for the shots is the one File > New makes next.
    txtHwrDesCFile->setText(toNew ? QStringLiteral("(File > New)") : QString());
}

void frmRemCtr::seeHwrDesExc()
{
    if (!fraHwrDesExc)
        return;
    // The link cannot be pointed elsewhere: the boxes show where it writes.
    if (!optHwrDesExcNew->isChecked())
        optHwrDesExcNew->setChecked(true);
    const ExportNbr::LinkTarget t = nbrExport().xlLinkTarget();
    txtHwrDesExc->setText(t.book.isEmpty() ? QStringLiteral("(no workbook open)") : t.book);
    txtHwrDesExcSheet->setText(t.sheet);
    txtHwrDesExcRow->setText(t.row > 0 ? QString::number(t.row) : QString());
    txtHwrDesExcCol->setText(t.row > 0 ? QStringLiteral("1") : QString());
    labHwrDesExcCell->setText(t.row > 0 ? QStringLiteral("Next cell: ") + xl::columnLetters(1) + QString::number(t.row)
                                        : QStringLiteral("Next cell: -"));
}

QString frmRemCtr::entDbgText(const QString &entry)
{
    return entry.mid(0, 1) + u':' + entry.mid(3, 1) + u'-' + entry.mid(6, 1);
}

void frmRemCtr::seeEntDbg(const QString &entry) { MsgBox(entDbgText(entry), vbOKOnly); }

} // namespace vt
