#include "editor/frmOptions.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "editor/modEditorNbr.h"
#include "editor/modFileBar.h"
#include "editor/modToolbars.h"
#include "platform/controls.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/richtext.h"
#include "shell/frmMDI.h"
#include "shell/modStartNbrs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStackedLayout>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace vt {

namespace {

// Where an error in a click of the dialog's controls is reported.
const QString kWhere = QStringLiteral("frmOptions/");

// One button of the dialog: where it is kept, its name, its caption and
// what a click runs.
template <class B>
struct KeptRow {
    B **place;
    const char *name;
    const char *caption;
    void (frmOptions::*click)();
};

// Buttons made from their rows, each kept where its row says; returned in
// order for laying out.
template <class B>
std::vector<QWidget *> makeKept(frmOptions *form, QWidget *parent, std::initializer_list<KeptRow<B>> rows)
{
    std::vector<QWidget *> made;
    for (const KeptRow<B> &r : rows) {
        const ControlRow row{QString::fromLatin1(r.name), QString::fromLatin1(r.caption),
                             [form, click = r.click] { (form->*click)(); }};
        *r.place = controls::make<B>(parent, row, kWhere);
        made.push_back(*r.place);
    }
    return made;
}

// One box of a group: where it is kept, its name and its caption.
struct CheckRow {
    QCheckBox **box;
    const char *name;
    const char *caption;
};

// A titled frame of check boxes one under another, after an optional line of
// text; the boxes are kept as the rows say and returned in their order.
QList<QCheckBox *> checkGroup(QGroupBox *frame, std::initializer_list<CheckRow> rows, const QString &intro = {})
{
    auto *lay = new QVBoxLayout(frame);
    if (!intro.isEmpty())
        lay->addWidget(new QLabel(intro, frame));
    QList<QCheckBox *> made;
    for (const CheckRow &r : rows) {
        auto *c = new QCheckBox(QString::fromLatin1(r.caption), frame);
        c->setObjectName(QString::fromLatin1(r.name));
        lay->addWidget(c);
        *r.box = c;
        made << c;
    }
    return made;
}

// Runs one step of the load or the apply; a step that fails with a run-time
// error (a value that a control or a setting does not take) is skipped and the
// next one runs. Any other failure is a fault and is reported.
template <class F>
void step(F f)
{
    try {
        f();
    } catch (const RtError &) {
    } catch (...) {
        // Rethrown inside guarded(): made the pending error and reported.
        guarded(QStringLiteral("frmOptions\\step"), [] { throw; });
    }
}

} // namespace

frmOptions::frmOptions() : QDialog(nullptr)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setModal(false);
    setAttribute(Qt::WA_QuitOnClose, false);

    buildTabs();
    buildGeneralPage();
    buildEditorPage();
    buildViewPage();
    buildFilesPage();
    arrange();

    // Wired last: adding the tabs already changes the current one.
    connect(tbrOptions, &QTabBar::currentChanged, this, [this] {
        guarded(QStringLiteral("frmOptions/tbrOptions_Click"), [this] { tbrOptions_Click(); });
    });
}

void frmOptions::buildTabs()
{
    tbrOptions = new QTabBar(this);
    tbrOptions->setObjectName(QStringLiteral("tbrOptions"));
    tbrOptions->setAccessibleName(QStringLiteral("Options"));
    // Each tab: its caption, the key that picks its page, and the page.
    const struct {
        const char *caption;
        const char *key;
        QWidget **page;
        const char *name;
    } tabs[] = {{"General", "General", &picGeneral, "picGeneral"},
                {"Jotrix", "Editor", &picEditor, "picEditor"},
                {"View", "View", &picView, "picView"},
                {"Files", "Assocciate", &picFiles, "picFiles"}};
    for (const auto &t : tabs) {
        const int i = tbrOptions->addTab(QString::fromLatin1(t.caption));
        tbrOptions->setTabData(i, QString::fromLatin1(t.key));
    }
    for (const auto &t : tabs) {
        *t.page = new QWidget(this);
        (*t.page)->setObjectName(QString::fromLatin1(t.name));
    }
}

void frmOptions::buildGeneralPage()
{
    // The start-up position, the start-up windows and the file associations
    // are shown as the program offers them but take no effect: they stay
    // greyed so that nothing looks chosen that is not. Only the start-up note
    // works, since the note itself sends the user here.
    auto *lay = new QVBoxLayout(picGeneral);
    auto *doc = new QGroupBox(QStringLiteral("Document"), picGeneral);
    auto *dl = new QVBoxLayout(doc);
    auto *lbl = new QLabel(QStringLiteral("Select document startup position:"), doc);
    cmbDocState = new QComboBox(doc);
    cmbDocState->setObjectName(QStringLiteral("cmbDocState"));
    cmbDocState->addItems({QStringLiteral("Normal"), QStringLiteral("Minimized"), QStringLiteral("Maximized")});
    cmbDocState->setAccessibleName(lbl->text());
    lbl->setBuddy(cmbDocState);
    dl->addWidget(lbl);
    dl->addWidget(cmbDocState);
    auto *gen = new QGroupBox(QStringLiteral("General"), picGeneral);
    checkGroup(gen, {{&chkBuffStart, "chkBuffStart", "Start With Buffer"},
                     {&chkShowRUvuzu, "chkShowRUvuzu", "Show rUvuzu at Startup"},
                     {&chkZOvuStart, "chkZOvuStart", "Start with zOvu"}});
    lay->addWidget(doc);
    lay->addWidget(gen);
    lay->addStretch();
    for (QWidget *w : {static_cast<QWidget *>(cmbDocState), static_cast<QWidget *>(chkBuffStart),
                       static_cast<QWidget *>(chkZOvuStart)})
        w->setEnabled(false);
}

void frmOptions::buildEditorPage()
{
    auto *lay = new QVBoxLayout(picEditor);
    auto *font = new QGroupBox(QStringLiteral("Font"), picEditor);
    auto *fl = new QGridLayout(font);
    // An editable list with its label on a row of the grid.
    auto combo = [font, fl](const char *name, const QString &label, int row) {
        auto *l = new QLabel(label, font);
        auto *c = new QComboBox(font);
        c->setObjectName(QString::fromLatin1(name));
        c->setEditable(true);
        c->setAccessibleName(label);
        l->setBuddy(c);
        fl->addWidget(l, row, 0);
        fl->addWidget(c, row, 1);
        return c;
    };
    cmbOFontName = combo("cmbOFontName", QStringLiteral("Font:"), 0);
    cmbOFontSize = combo("cmbOFontSize", QStringLiteral("Font Size:"), 1);
    auto *mode = new QGroupBox(QStringLiteral("View Mode"), picEditor);
    const auto modes =
        makeKept<QRadioButton>(this, mode,
                               {{&optNoWrap, "optNoWrap", "No Wrap", &frmOptions::optNoWrap_Click},
                                {&optWordWrap, "optWordWrap", "Word Wrap", &frmOptions::optWordWrap_Click},
                                {&optWYSIWYG, "optWYSIWYG", "WYSIWYG", &frmOptions::optWYSIWYG_Click}});
    controls::addAll(new QVBoxLayout(mode), modes);
    lay->addWidget(font);
    lay->addWidget(mode);
    lay->addStretch();
}

void frmOptions::buildViewPage()
{
    auto *lay = new QHBoxLayout(picView);
    auto *bars = new QGroupBox(QStringLiteral("Toolbars"), picView);
    checkGroup(bars, {{&chkStandard, "chkStandard", "Standard"},
                      {&chkFont, "chkFont", "Font"},
                      {&chkFormat, "chkFormat", "Format"},
                      {&chkFile, "chkFile", "File"},
                      {&chkEdit, "chkEdit", "Edit"},
                      {&chkWindow, "chkWindow", "Window"}});
    auto *other = new QGroupBox(QStringLiteral("Other"), picView);
    checkGroup(other, {{&chkStatusBar, "chkStatusBar", "Status Bar"},
                       {&chkFileTree, "chkFileTree", "File Tree"},
                       {&chkRuler, "chkRuler", "Ruler"}});
    static_cast<QVBoxLayout *>(other->layout())->addStretch();
    lay->addWidget(bars);
    lay->addWidget(other);
}

void frmOptions::buildFilesPage()
{
    auto *lay = new QVBoxLayout(picFiles);
    auto *fam = new QGroupBox(QStringLiteral("File Family"), picFiles);
    const auto family = checkGroup(fam,
                                   {{&chkAscText, "chkAscText", "Text (*.TXT)"},
                                    {&chkAscLog, "chkAscLog", "Log (*.LOG)"},
                                    {&chkAscRich, "chkAscRich", "Rich Text (*.RTF)"},
                                    {&chkAscBatch, "chkAscBatch", "Vantrell (*.VRL)"},
                                    {&chkAscINI, "chkAscINI", "Setup (*.INI)"},
                                    {&chkAssTar, "chkAssTar", "Target (*.TAR)"}},
                                   QStringLiteral("Select file extensions"));
    // Shown as offered, greyed: see the General page.
    for (QCheckBox *c : family)
        c->setEnabled(false);
    lay->addWidget(fam);
    lay->addStretch();
}

void frmOptions::arrange()
{
    auto *pages = new QWidget(this);
    auto *stack = new QStackedLayout(pages);
    stack->setStackingMode(QStackedLayout::StackAll); // the pages lie on top of each other
    for (QWidget *p : {picGeneral, picEditor, picView, picFiles})
        stack->addWidget(p);

    const auto buttons = makeKept<QPushButton>(this, this,
                                               {{&cmdOk, "cmdOk", "&OK", &frmOptions::cmdOk_Click},
                                                {&cmdCancel, "cmdCancel", "&Cancel", &frmOptions::cmdCancel_Click},
                                                {&cmdApply, "cmdApply", "&Apply", &frmOptions::cmdApply_Click}});
    cmdOk->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tbrOptions);
    layout->addWidget(pages, 1);
    auto *row = new QHBoxLayout;
    row->addStretch();
    controls::addAll(row, buttons);
    layout->addLayout(row);
}

frmOptions::~frmOptions() { disconnect(tbrOptions, nullptr, this, nullptr); }

void frmOptions::showDialog()
{
    frmOptions *f = get();
    f->show();
    f->raise();
    f->activateWindow();
}

void frmOptions::Form_Load()
{
    adjustSize();
    if (const QScreen *s = QGuiApplication::primaryScreen()) {
        const QRect r = s->availableGeometry();
        move(r.x() + (r.width() - frameGeometry().width()) / 2, r.y() + (r.height() - frameGeometry().height()) / 2);
    }
    tbrOptions->setCurrentIndex(0);
    tbrOptions_Click();
    lodOptions();
}

void frmOptions::tbrOptions_Click()
{
    const QString key = tbrOptions->tabData(tbrOptions->currentIndex()).toString();
    const struct {
        const char *key;
        QWidget *page;
    } pages[] = {{"General", picGeneral}, {"Editor", picEditor}, {"View", picView}, {"Assocciate", picFiles}};
    for (const auto &p : pages)
        p.page->setVisible(key == QLatin1String(p.key));
}

void frmOptions::lodOptions()
{
    frmMDI *mdi = frmMDI::get();
    step([&] {
        for (int i = 0; i < mdi->cboFontName->count(); ++i)
            cmbOFontName->addItem(mdi->cboFontName->itemText(i));
        for (int i = 0; i < mdi->cboFontSize->count(); ++i)
            cmbOFontSize->addItem(mdi->cboFontSize->itemText(i));
    });
    step([&] {
        frmDocument *doc = ActiveForm();
        if (!doc)
            return;
        // A mixed selection has no single font: the box then shows nothing.
        const auto name = doc->rtfText->SelFontName();
        const auto size = doc->rtfText->SelFontSize();
        cmbOFontName->setEditText(name.value_or(QString()));
        cmbOFontSize->setEditText(size ? Str(*size).trimmed() : QString());
    });
    step([&] {
        QRadioButton *const opts[3] = {optNoWrap, optWordWrap, optWYSIWYG};
        for (int16_t i = 0; i < 3; ++i)
            if (mdi->mnuViewMode[i] && mdi->mnuViewMode[i]->isChecked()) {
                opts[i]->setChecked(true);
                ViewMode = i;
            }
        loadedViewMode_ = ViewMode;
    });
    step([&] {
        QCheckBox *const bands[6] = {chkStandard, chkFont, chkFormat, chkFile, chkEdit, chkWindow};
        for (int band = 1; band <= 6; ++band) {
            QToolBar *t = mdi->cbrBand(band);
            // The cool bar has bands 1 and 2 only: the boxes of the others
            // can never show anything.
            if (!t) {
                bands[band - 1]->setEnabled(false);
                continue;
            }
            bands[band - 1]->setChecked(!t->isHidden() && !mdi->cbrBar->isHidden());
        }
    });
    step([&] {
        chkStatusBar->setChecked(!mdi->SXB->isHidden());
        chkRuler->setChecked(!mdi->cbrRuler->isHidden());
        if (QWidget *bar = picFileBar())
            chkFileTree->setChecked(!bar->isHidden());
    });
    step([&] { cmbDocState->setCurrentIndex(0); });
    step([&] { chkShowRUvuzu->setChecked(nbrNotes().showVipNotes()); });
}

void frmOptions::aplOptions()
{
    frmMDI *mdi = frmMDI::get();
    const QString name = cmbOFontName->currentText();
    const QString sizeText = cmbOFontSize->currentText();
    step([&] {
        frmDocument *doc = ActiveForm();
        if (!doc)
            return;
        QFont f = doc->rtfText->font();
        if (!name.trimmed().isEmpty())
            f.setFamily(name);
        bool ok = false;
        const double size = sizeText.trimmed().toDouble(&ok);
        if (ok && size > 0)
            f.setPointSizeF(size);
        doc->rtfText->setFont(f);
    });
    step([&] {
        mdi->cboFontName->setEditText(name);
        mdi->cboFontSize->setEditText(sizeText);
    });
    step([&] {
        if (!name.trimmed().isEmpty())
            nbrTools().setSymbolsFont(name);
    });
    step([&] {
        mdi->setBandVisible(1, chkStandard->isChecked());
        mdi->mnuViewToolbarStandard->setChecked(chkStandard->isChecked());
    });
    step([&] {
        mdi->setBandVisible(2, chkFont->isChecked());
        mdi->mnuViewToolbarFormat->setChecked(chkFont->isChecked());
    });
    step([&] {
        mdi->SXB->setVisible(chkStatusBar->isChecked());
        mdi->mnuViewStatusBar->setChecked(chkStatusBar->isChecked());
    });
    step([&] {
        mdi->cbrRuler->setVisible(chkRuler->isChecked());
        mdi->mnuViewRuler->setChecked(chkRuler->isChecked());
    });
    step([&] {
        showFileBar(chkFileTree->isChecked());
    });
    step([&] { nbrNotes().setShowVipNotes(chkShowRUvuzu->isChecked()); });
    // The view mode goes through the main window's own command, and only
    // when the user chose another one: it wraps the active CFile.
    step([&] {
        if (ViewMode >= 0 && ViewMode != loadedViewMode_ && ActiveForm()) {
            mnuViewMode_Click(ViewMode);
            loadedViewMode_ = ViewMode;
        }
    });
}

void frmOptions::cmdOk_Click()
{
    aplOptions();
    unload();
}

void frmOptions::cmdCancel_Click() { unload(); }

void frmOptions::cmdApply_Click() { aplOptions(); }

void frmOptions::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmOptions::reject() { cmdCancel_Click(); }

} // namespace vt
