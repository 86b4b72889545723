#include "tools/frmPageTabs.h"

#include "editor/frmDocument.h"
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
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace vt {

namespace {

constexpr int kQuestion = vbYesNoCancel | vbDefaultButton3 | vbSystemModal | vbMsgBoxSetForeground;
constexpr int kMessage = vbOKOnly | vbSystemModal | vbMsgBoxSetForeground;
const QString kCrLf = QStringLiteral("\r\n");
const QString kDash = QStringLiteral(" - ");
constexpr int kTwipsRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;

// How a CFile's stops are named when read into a record.
enum class Names { Applied, AtCursor, Kept };

} // namespace

frmPageTabs::frmPageTabs()
{
    setObjectName(QStringLiteral("frmPageTabs"));
    setWindowTitle(QStringLiteral("Tabs Setup"));
    setWindowFlags(Qt::Dialog);

    auto *fraPos = new QGroupBox(QStringLiteral("Position"), this);
    auto *posLay = new QHBoxLayout(fraPos);
    txtTabPos = new QLineEdit(QStringLiteral("00.00"), fraPos);
    txtTabPos->setObjectName(QStringLiteral("txtTabPos"));
    txtTabPos->setToolTip(QStringLiteral("Tab Position -> Double Click to Accept"));
    txtTabPos->setAccessibleName(QStringLiteral("Position"));
    posLay->addWidget(txtTabPos);
    posLay->addWidget(arrowPair(fraPos, 0, cmdPosMov, 0, QStringLiteral("Position"), [this](int k) { cmdPosMov_Click(k); },
                                QStringLiteral("frmPageTabs/cmdPosMov_Click")));
    auto *fraName = new QGroupBox(QStringLiteral("Description"), this);
    auto *nameLay = new QHBoxLayout(fraName);
    txtTabName = new QLineEdit(QStringLiteral("Tab1"), fraName);
    txtTabName->setObjectName(QStringLiteral("txtTabName"));
    txtTabName->setToolTip(QStringLiteral(" Tab Descripion -> Double Click to Accept"));
    txtTabName->setAccessibleName(QStringLiteral("Description"));
    nameLay->addWidget(txtTabName);
    for (QLineEdit *e : {txtTabPos, txtTabName})
        e->installEventFilter(this);

    auto *fraList = new QGroupBox(QStringLiteral("Tabs List"), this);
    auto *listLay = new QVBoxLayout(fraList);
    lstTabs = new QListWidget(fraList);
    lstTabs->setObjectName(QStringLiteral("lstTabs"));
    lstTabs->setToolTip(QStringLiteral("Double Click to Copy Tab to Position & Desription"));
    lstTabs->setAccessibleName(QStringLiteral("Tabs List"));
    lstTabs->setSelectionMode(QAbstractItemView::SingleSelection);
    listLay->addWidget(lstTabs);
    connect(lstTabs, &QListWidget::itemDoubleClicked, this,
            [this] { guarded(QStringLiteral("frmPageTabs/lstTabs_DblClick"), [this] { lstTabs_DblClick(); }); });

    QGroupBox *fraUnits = unitsFrame(this, cmbUnits);
    defaultBoxes(this, QStringLiteral("chkDefalt"), chkDefalt, chkAsk);
    // The list's own commands.
    auto row = [this](const char *name, const char *caption, const char *tip, void (frmPageTabs::*fn)()) {
        return ControlRow{QString::fromLatin1(name), QString::fromLatin1(caption), [this, fn] { (this->*fn)(); },
                          QString::fromLatin1(tip)};
    };
    const auto edits = controls::make<QPushButton>(this,
                                                   {row("cmdAdd", "Add", "Add Tab", &frmPageTabs::cmdAdd_Click),
                                                    row("cmdReplace", "Replace", "Replace Tab", &frmPageTabs::cmdReplace_Click),
                                                    row("cmdDelete", "Delete", "Delete Tab", &frmPageTabs::cmdDelete_Click),
                                                    row("cmdClearAll", "Clear All", "Clear All Tabs", &frmPageTabs::cmdClearAll_Click)},
                                                   QStringLiteral("frmPageTabs/"));
    cmdAdd = edits[0];
    cmdReplace = edits[1];
    cmdDelete = edits[2];
    cmdClearAll = edits[3];
    for (QPushButton *b : edits)
        b->setAutoDefault(false);
    const auto buttons = setupButtons(
        this,
        {QStringLiteral("cmdApply"), QStringLiteral("cmdSave"), QStringLiteral("cmdAtCurs"), QStringLiteral("cmdReset"),
         QStringLiteral("cmdRead"), QStringLiteral("cmdCancel"), QStringLiteral("cmdClose")},
        QStringLiteral("Apply Setup to the current CFile"), QStringLiteral("Get tabs from current paragraph"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(fraPos, 0, 0);
    grid->addWidget(fraName, 0, 1);
    grid->addWidget(fraList, 1, 0, 4, 1);
    auto *editColumn = new QVBoxLayout();
    controls::addAll(editColumn, controls::widgets(edits));
    grid->addLayout(editColumn, 1, 1);
    grid->addWidget(fraUnits, 2, 1);
    grid->addWidget(chkDefalt, 3, 1);
    grid->addWidget(chkAsk, 4, 1);
    auto *closing = new QHBoxLayout();
    controls::addAll(closing, controls::widgets(buttons));
    grid->addLayout(closing, 5, 0, 1, 2);
    nameControls(this);
}

frmPageTabs::~frmPageTabs()
{
    for (QLineEdit *e : {txtTabPos, txtTabName})
        e->removeEventFilter(this);
    disconnect();
}

void frmPageTabs::showDialog() { showModal(get()); }
void frmPageTabs::savTabs() { vt::savTabs(); }
void frmPageTabs::setTabs() { writeToCFile(TabFmtDef); }
void frmPageTabs::getTabs() { vt::getTabs(); }

void frmPageTabs::closeEvent(QCloseEvent *e) { handleClose(e); }

bool frmPageTabs::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick && (watched == txtTabPos || watched == txtTabName))
        guarded(QStringLiteral("frmPageTabs/txtTab_DblClick"), [this] { cmdAdd_Click(); });
    return QWidget::eventFilter(watched, event);
}

void frmPageTabs::Form_Load()
{
    cfileRead_ = false;
    cancelling_ = false;
    noCFile_ = ActiveForm() == nullptr;
    rstTabs(rec);
    recApplied = rec;
    readCFile(recApplied, true);
    rec = TabFmtDef;
    recOrig = rec;
    fillUnitList(cmbUnits, rec.TabUnits);
    showRec();
    connect(cmbUnits, &QComboBox::activated, this,
            [this] { guarded(QStringLiteral("frmPageTabs/cmbUnits_Click"), [this] { cmbUnits_Click(); }); });
}

// --- the list -------------------------------------------------------------------

QString frmPageTabs::entryText(int twips, const QString &name) const
{
    // Small positions get more blanks in front, so that the texts line up.
    const double value = twips / twipsPerUnit(shownUnit_);
    const QString lead = std::lround(value) <= 9 ? QStringLiteral("   ") : QStringLiteral(" ");
    return lead + Format(value, QStringLiteral("#0.00")) + kDash + name;
}

void frmPageTabs::insertEntry(int twips, const QString &name)
{
    // The list keeps numeric order of the positions (a stop equal to others
    // goes after them), whatever the texts would sort as.
    int row = 0;
    while (row < lstTabs->count() && lstTabs->item(row)->data(kTwipsRole).toInt() <= twips)
        ++row;
    auto *item = new QListWidgetItem(entryText(twips, name));
    item->setData(kTwipsRole, twips);
    item->setData(kNameRole, name);
    lstTabs->insertItem(row, item);
}

void frmPageTabs::showRec()
{
    txtTabPos->clear();
    txtTabName->clear();
    lstTabs->clear();
    chkDefalt->setChecked(rec.TabDefalt == 1);
    chkAsk->setChecked(rec.TabDefaltAsk == 1);
    chkAsk->setEnabled(SoftTest);
    cmbUnits->setCurrentIndex(scaleMode2Idx(rec.TabUnits));
    shownUnit_ = int16_t(cmbUnits->currentIndex());
    const int count = std::clamp<int>(rec.TabCount, 0, TabFmt::kMax);
    for (int i = 0; i < count; ++i)
        insertEntry(rec.TabPos[i], rec.TabName[i]);
}

void frmPageTabs::readList()
{
    rstTabs(rec);
    rec.TabDefalt = chkDefalt->isChecked() ? 1 : 0;
    rec.TabDefaltAsk = chkAsk->isChecked() ? 1 : 0;
    rec.TabUnits = idx2ScaleMode(int16_t(cmbUnits->currentIndex()));
    rec.TabCount = int16_t(std::min(lstTabs->count(), TabFmt::kMax));
    for (int i = 0; i < rec.TabCount; ++i) {
        rec.TabPos[i] = int16_t(lstTabs->item(i)->data(kTwipsRole).toInt());
        rec.TabName[i] = lstTabs->item(i)->data(kNameRole).toString();
    }
}

void frmPageTabs::numberMessage(const QString &text)
{
    MsgBox(QStringLiteral("You must enter a valid numerical value.!") + kCrLf + QStringLiteral("Input Range is 0.00 to ")
               + Format(maxLength(shownUnit_), QStringLiteral("#0.00")) + kCrLf
               + QStringLiteral("Your entered value is  ''") + text + QStringLiteral("''"),
           kMessage);
}

std::optional<int16_t> frmPageTabs::positionTwips()
{
    const QString text = txtTabPos->text();
    int16_t twips = 0;
    if (!trapErrors([&] { twips = lengthTwips(CDbl(text), shownUnit_); })) {
        Err.Clear();
        numberMessage(text);
        return std::nullopt;
    }
    return twips;
}

bool frmPageTabs::askDuplicate(int twips, int except)
{
    for (int row = 0; row < lstTabs->count(); ++row) {
        if (row == except || lstTabs->item(row)->data(kTwipsRole).toInt() != twips)
            continue;
        return MsgBox(u'\t' + QStringLiteral("You are about to add a duplicate Tab.!") + kCrLf
                          + QStringLiteral("Do you want to proceed anyway..?"),
                      vbYesNo | vbDefaultButton2 | vbSystemModal | vbMsgBoxSetForeground)
            == vbYes;
    }
    return true;
}

bool frmPageTabs::addTab(bool replacing)
{
    if (!replacing && txtTabPos->text().isEmpty()) {
        MsgBox(QStringLiteral("You must enter a value in 'Position' field"), kMessage);
        txtTabPos->setFocus();
        return false;
    }
    const auto twips = positionTwips();
    if (!twips)
        return false;
    if (*twips < 0) {
        MsgBox(QStringLiteral("Tab value is out of range.!") + kCrLf + QStringLiteral("Value can not be negative..."),
               kMessage);
        return false;
    }
    if (!replacing && !askDuplicate(*twips, -1))
        return false;
    txtTabPos->setText(showLength(*twips, shownUnit_));
    if (lstTabs->count() >= TabFmt::kMax) {
        MsgBox(QStringLiteral("You can not add more then ") + QString::number(TabFmt::kMax) + QStringLiteral(" Tabs"),
               kMessage);
        return false;
    }
    insertEntry(*twips, txtTabName->text().trimmed());
    return true;
}

void frmPageTabs::deleteSelected()
{
    if (lstTabs->count() == 0)
        return;
    const QList<QListWidgetItem *> chosen = lstTabs->selectedItems();
    if (chosen.isEmpty()) {
        MsgBox(QStringLiteral("You must select a tab from the Tab List"), kMessage);
        return;
    }
    const int row = lstTabs->row(chosen.first());
    delete lstTabs->takeItem(row);
    if (lstTabs->count() > 0)
        lstTabs->setCurrentRow(std::min(row, lstTabs->count() - 1));
}

void frmPageTabs::cmdAdd_Click() { addTab(false); }

void frmPageTabs::cmdReplace_Click()
{
    const auto twips = positionTwips();
    if (!twips)
        return;
    // Refused before the old entry goes, so that a bad value loses nothing.
    if (*twips < 0) {
        MsgBox(QStringLiteral("Tab value is out of range.!") + kCrLf + QStringLiteral("Value can not be negative..."),
               kMessage);
        return;
    }
    const QList<QListWidgetItem *> chosen = lstTabs->selectedItems();
    const int row = chosen.isEmpty() ? -1 : lstTabs->row(chosen.first());
    if (!askDuplicate(*twips, row))
        return;
    deleteSelected();
    addTab(true);
    if (row >= 0 && lstTabs->count() > 0)
        lstTabs->setCurrentRow(std::min(row, lstTabs->count() - 1));
}

void frmPageTabs::cmdDelete_Click()
{
    lstTabs_DblClick();
    deleteSelected();
}

void frmPageTabs::cmdClearAll_Click() { lstTabs->clear(); }

void frmPageTabs::lstTabs_DblClick()
{
    const QList<QListWidgetItem *> chosen = lstTabs->selectedItems();
    if (chosen.isEmpty())
        return;
    const QString text = chosen.first()->text();
    const qsizetype dash = text.indexOf(kDash);
    if (dash < 0)
        return;
    txtTabPos->setText(text.left(dash));
    txtTabName->setText(text.mid(dash + kDash.size()));
}

void frmPageTabs::cmdPosMov_Click(int index)
{
    const QString text = txtTabPos->text();
    const double tpu = twipsPerUnit(shownUnit_);
    if (text.isEmpty()) {
        txtTabPos->setText(index == 0 ? QString::number(32767.0 / tpu, 'g', 15) : QStringLiteral("0"));
        return;
    }
    double v = 0;
    if (!trapErrors([&] { v = CDbl(text); })) {
        Err.Clear();
        numberMessage(text);
        return;
    }
    const double step = spinStep(shownUnit_);
    v += index == 0 ? step : -step;
    if (v < 0)
        v = 0;
    if (std::nearbyint(v * tpu) > 32767)
        return;
    txtTabPos->setText(Format(v, QStringLiteral("#0.00")));
}

void frmPageTabs::cmbUnits_Click()
{
    const int16_t from = shownUnit_;
    shownUnit_ = int16_t(cmbUnits->currentIndex());
    trapErrors([&] {
        if (!txtTabPos->text().isEmpty())
            txtTabPos->setText(showLength(lengthTwips(CDbl(txtTabPos->text()), from), shownUnit_));
    });
    Err.Clear();
    for (int row = 0; row < lstTabs->count(); ++row) {
        QListWidgetItem *item = lstTabs->item(row);
        item->setText(entryText(item->data(kTwipsRole).toInt(), item->data(kNameRole).toString()));
    }
}

// --- the CFile ------------------------------------------------------------------

void frmPageTabs::writeToCFile(const TabFmt &tabs)
{
    // Positions are twips on both sides; the unit is only how they are shown.
    RichTextBox *box = activeRtf();
    if (!box)
        return;
    const int count = std::clamp<int>(tabs.TabCount, 0, TabFmt::kMax);
    box->SetSelTabCount(count);
    for (int i = 0; i < count; ++i)
        box->SetSelTabs(i, tabs.TabPos[i]);
}

bool frmPageTabs::readCFile(TabFmt &into, bool applied)
{
    frmDocument *doc = ActiveForm();
    if (!doc)
        return false;
    RichTextBox *box = doc->rtfText;
    const std::optional<int> count = box->SelTabCount();
    if (applied)
        cfileRead_ = true;
    if (!count) {
        // Paragraphs with different stops: nothing to take; the applied copy
        // takes a count no list has, so that Ok offers to make them one.
        if (applied)
            into.TabCount = -1;
        return false;
    }
    if (applied && *count <= 0) {
        into.TabCount = 0;
        return true;
    }
    into.TabCount = int16_t(std::min(*count, TabFmt::kMax));
    for (int i = 0; i < TabFmt::kMax; ++i) {
        if (i >= into.TabCount) {
            into.TabPos[i] = 0;
            if (applied)
                into.TabName[i].clear();
            continue;
        }
        into.TabPos[i] = CInt(double(box->SelTabs(i).value_or(0)));
        if (applied)
            into.TabName[i] = QStringLiteral("Tab Position -") + QString::number(i + 1);
    }
    return true;
}

bool frmPageTabs::differs(const TabFmt &a, const TabFmt &b, bool applied) const
{
    if (a.TabCount != b.TabCount)
        return true;
    if (!applied && (a.TabDefalt != b.TabDefalt || a.TabDefaltAsk != b.TabDefaltAsk))
        return true;
    for (int i = 0; i < std::clamp<int>(a.TabCount, 0, TabFmt::kMax); ++i) {
        if (a.TabPos[i] != b.TabPos[i])
            return true;
        if (!applied && a.TabName[i] != b.TabName[i])
            return true;
    }
    return false;
}

// --- buttons --------------------------------------------------------------------

void frmPageTabs::cmdApply_Click()
{
    readList();
    if (!activeRtf()) {
        MsgBox(u'\t' + QStringLiteral("There are no Open CFiles..!"), kMessage);
        return;
    }
    writeToCFile(rec);
    readCFile(rec, false); // names kept
    showRec();
    recApplied = rec;
}

void frmPageTabs::cmdAtCurs_Click()
{
    frmDocument *doc = ActiveForm();
    if (!doc) {
        MsgBox(u'\t' + QStringLiteral("There are no Open CFiles..!"), kMessage);
        return;
    }
    if (readCFile(rec, false))
        for (int i = 0; i < rec.TabCount; ++i)
            rec.TabName[i] = QStringLiteral("Tab-") + QString::number(i + 1) + u'\t' + doc->Caption();
    showRec();
    readCFile(recApplied, true);
}

void frmPageTabs::cmdSave_Click()
{
    readList();
    recOrig = rec;
    writeTabs(rec);
    // What is stored is also this run's default for new CFiles.
    TabFmtDef = rec;
}

void frmPageTabs::cmdRead_Click()
{
    readTabs(rec);
    showRec();
}

void frmPageTabs::cmdReset_Click()
{
    rstTabs(rec);
    showRec();
}

void frmPageTabs::cmdCancel_Click()
{
    rec = recOrig;
    cancelling_ = true;
    if (!unload(vbFormCode))
        cancelling_ = false;
}

void frmPageTabs::cmdClose_Click()
{
    readList();
    if (rec.TabDefaltAsk == 1) {
        if (differs(rec, recApplied, true) && cfileRead_ && activeRtf()) {
            const int answer = MsgBox(u'\t' + QStringLiteral("Apply changes to CFile..?"), kQuestion);
            if (answer == vbCancel)
                return;
            if (answer == vbYes)
                writeToCFile(rec);
        }
    } else {
        TabFmtDef = rec;
    }
    unload(vbFormCode);
}

void frmPageTabs::Form_QueryUnload(int &cancel, int unloadMode)
{
    (void)unloadMode;
    if (cancelling_)
        return; // Cancel leaves the defaults as they were
    readList();
    if (rec.TabDefaltAsk != 1 || !differs(rec, recOrig, false))
        return;
    const int answer = MsgBox(u'\t' + QStringLiteral("    Save changes..?"), kQuestion);
    if (answer == vbCancel) {
        cancel = 1;
    } else if (answer == vbYes) {
        writeTabs(rec);
        TabFmtDef = rec;
    }
}

} // namespace vt
