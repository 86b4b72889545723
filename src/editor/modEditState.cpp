#include "editor/modEditState.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/errors.h"
#include "platform/forms.h"
#include "platform/richtext.h"
#include "shell/frmMDI.h"
#include "shell/modErrMsgs.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modStatus.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHash>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QToolBar>
#include <functional>

namespace vt {

namespace {

// --- the controls, by the names the rules give them --------------------------

// A menu item by its name ("mnuViewMode" with its index), a toolbar button by
// its bar and key ("std:Save" on the standard bar, "fmt:Bold" on the format
// bar), or a field of the format bar by its name.
struct Control {
    const char *name;
    int index = -1;
};

QObject *findControl(frmMDI *mdi, const Control &c)
{
    const QLatin1StringView name(c.name);
    if (name == QLatin1StringView("mnuViewMode"))
        return c.index >= 0 && c.index < 3 ? mdi->mnuViewMode[c.index] : nullptr;
    if (name.startsWith(QLatin1StringView("std:")))
        return toolButton(mdi->tbrStandard, QString(name.mid(4)));
    if (name.startsWith(QLatin1StringView("fmt:")))
        return toolButton(mdi->tbrFormat, QString(name.mid(4)));
    if (name.startsWith(QLatin1StringView("mnu")))
        return menuItem(mdi, QString(name));
    return mdi->findChild<QWidget *>(QString(name));
}

// The controls are looked up once per main window, not at every refresh.
QObject *control(frmMDI *mdi, const Control &c)
{
    static QPointer<frmMDI> owner;
    static QHash<QString, QPointer<QObject>> cache;
    if (owner != mdi) {
        cache.clear();
        owner = mdi;
    }
    const QString key = QString::fromLatin1(c.name) + u'#' + QString::number(c.index);
    QPointer<QObject> &slot = cache[key];
    if (!slot)
        slot = findControl(mdi, c);
    if (!slot)
        raise(91, {}, QString::fromLatin1(c.name));
    return slot;
}

enum class Prop { Enabled, Visible };

void put(frmMDI *mdi, const Control &c, Prop p, bool on)
{
    QObject *o = control(mdi, c);
    if (auto *a = qobject_cast<QAction *>(o))
        p == Prop::Enabled ? a->setEnabled(on) : a->setVisible(on);
    else if (auto *w = qobject_cast<QWidget *>(o))
        p == Prop::Enabled ? w->setEnabled(on) : w->setVisible(on);
}

QAction *button(frmMDI *mdi, const char *name) { return qobject_cast<QAction *>(control(mdi, {name})); }

// --- the refresh inputs --------------------------------------------------------

// The letters of the rules: D a CFile is active, C it has unsaved changes, T
// it holds text, U its box can undo, S its selection is not empty, E editing
// is allowed, P the clipboard holds text, L the operator level.
struct Snapshot {
    bool D = false, C = false, T = false, U = false, S = false;
};

Snapshot takeSnapshot(frmDocument *doc)
{
    Snapshot s;
    s.D = doc != nullptr;
    if (s.D) {
        s.C = doc->bChanged;
        s.T = doc->rtfText->TextLength() > 0;
        s.U = doc->rtfText->CanUndo();
        s.S = doc->rtfText->SelLength() > 0;
    }
    return s;
}

// What a rule sets: off, on, or a value computed from the letters.
enum class V { Off, On, D, T, C, S, E, EU, ES, EP, ET, L0, L4 };

bool value(V v, const Snapshot &s)
{
    // Editing is allowed only in a CFile that exists: without one every
    // editing rule is off, as the menus with no CFile open must be.
    auto E = [&s] { return s.D && isEditAllowed(); };
    switch (v) {
    case V::Off: return false;
    case V::On: return true;
    case V::D: return s.D;
    case V::T: return s.T;
    case V::C: return s.C;
    case V::S: return s.S;
    case V::E: return E();
    case V::EU: return E() && s.U;
    case V::ES: return E() && s.S;
    case V::EP: return E() && clipboardHasText();
    case V::ET: return E() && s.T;
    case V::L0: return UserLevel > 0;
    case V::L4: return UserLevel == 4;
    }
    return false;
}

struct Rule {
    Control control;
    Prop prop;
    V value;
};

constexpr Prop En = Prop::Enabled;
constexpr Prop Vis = Prop::Visible;

// --- the rules, one table per procedure, each in the order it sets them ------

// zapFgsMDI: everything off. The Type menu and the Interface menu's "i&Loger"
// are not touched.
const Rule kZap[] = {
    {{"mnuViewMode", 0}, En, V::Off}, {{"mnuViewMode", 1}, En, V::Off}, {{"mnuViewMode", 2}, En, V::Off},
    // File
    {{"mnuFileClose"}, En, V::Off}, {{"mnuFileCloseAll"}, En, V::Off}, {{"mnuFileSave"}, En, V::Off},
    {{"mnuFileSaveAs"}, En, V::Off}, {{"mnuFileSaveAll"}, En, V::Off}, {{"mnuFileSaveSelectionAs"}, En, V::Off},
    {{"mnuFileRevert"}, En, V::Off}, {{"mnuPrinting"}, En, V::Off}, {{"mnuFilePrintNow"}, En, V::Off},
    // Format
    {{"mnuBulletsSet"}, En, V::Off}, {{"mnuScriptSet"}, En, V::Off}, {{"mnuFormatDentMain"}, En, V::Off},
    {{"mnuParagraphAlign"}, En, V::Off}, {{"mnuFormatScript"}, En, V::Off}, {{"mnuCaseConvert"}, En, V::Off},
    // the View menu's support windows
    {{"mnuViewBuffer"}, Vis, V::Off}, {{"mnuKeyPad"}, Vis, V::Off}, {{"mnuIProgress"}, Vis, V::Off},
    // Edit
    {{"mnuEditUndo"}, En, V::Off}, {{"mnuEditRedo"}, En, V::Off}, {{"mnuEditCut"}, En, V::Off},
    {{"mnuEditCopy"}, En, V::Off}, {{"mnuEditPaste"}, En, V::Off}, {{"mnuEditDelete"}, En, V::Off},
    {{"mnuEditSelectAll"}, En, V::Off}, {{"mnuTagClean"}, En, V::Off},
    // Search
    {{"mnuSearchFind"}, En, V::Off}, {{"mnuSearchFindNext"}, En, V::Off}, {{"mnuSearchReplace"}, En, V::Off},
    {{"mnuSearchGoTo"}, En, V::Off},
    // Insert
    {{"mnuInsertTimeDate"}, En, V::Off}, {{"mnuInsertPicture"}, En, V::Off}, {{"mnuInsertTextFile"}, En, V::Off},
    {{"mnuInsertSymbols"}, En, V::Off}, {{"mnuInsertPathandFile"}, En, V::Off},
    // Font
    {{"mnuFormatFont"}, En, V::Off},
    // standard toolbar
    {{"std:Save"}, En, V::Off}, {{"std:Print"}, En, V::Off}, {{"std:Cut"}, En, V::Off}, {{"std:Copy"}, En, V::Off},
    {{"std:Paste"}, En, V::Off}, {{"std:Undo"}, En, V::Off}, {{"std:Redo"}, En, V::Off},
    {{"std:Search"}, En, V::Off}, {{"std:WordWrap"}, En, V::Off},
    // format toolbar and its fields
    {{"fmt:Bold"}, En, V::Off}, {{"fmt:Italic"}, En, V::Off}, {{"fmt:Underline"}, En, V::Off},
    {{"fmt:StrikeThru"}, En, V::Off}, {{"fmt:Left"}, En, V::Off}, {{"fmt:Center"}, En, V::Off},
    {{"fmt:Right"}, En, V::Off}, {{"fmt:Bullet"}, En, V::Off}, {{"fmt:CaseToUpper"}, En, V::Off},
    {{"fmt:CaseToLower"}, En, V::Off}, {{"fmt:TabLeft"}, En, V::Off}, {{"fmt:TabRight"}, En, V::Off},
    {{"fmt:TruFont"}, En, V::Off},
    {{"cboFontName"}, En, V::Off}, {{"cboFontSize"}, En, V::Off}, {{"txtFontColors"}, En, V::Off},
};

// setFgsMDI: what the presence of a CFile allows. Script is set twice and
// ends enabled.
const Rule kSet[] = {
    {{"mnuViewMode", 0}, En, V::On}, {{"mnuViewMode", 1}, En, V::On}, {{"mnuViewMode", 2}, En, V::On},
    {{"mnuFileClose"}, En, V::On}, {{"mnuFileCloseAll"}, En, V::On}, {{"mnuFileSave"}, En, V::On},
    {{"mnuFileSaveAs"}, En, V::On}, {{"mnuFileSaveAll"}, En, V::On},
    {{"mnuPrinting"}, En, V::On}, {{"mnuFilePrintNow"}, En, V::T},
    {{"mnuTypeSet"}, En, V::T}, {{"mnuScriptSet"}, En, V::T}, {{"mnuFormatScript"}, En, V::T},
    {{"mnuCaseConvert"}, En, V::T}, {{"mnuBulletsSet"}, En, V::On}, {{"mnuFormatDentMain"}, En, V::T},
    {{"mnuParagraphAlign"}, En, V::T},
    {{"mnuEditSelectAll"}, En, V::On},
    {{"mnuViewBuffer"}, Vis, V::L0}, {{"mnuIProgress"}, Vis, V::On},
    {{"mnuSearchFind"}, En, V::On}, {{"mnuSearchReplace"}, En, V::On}, {{"mnuSearchGoTo"}, En, V::On},
    {{"mnuInsertTimeDate"}, En, V::On}, {{"mnuInsertPicture"}, En, V::On}, {{"mnuInsertTextFile"}, En, V::On},
    {{"mnuInsertSymbols"}, En, V::On},
    {{"mnuFormatFont"}, En, V::On}, {{"mnuFormatScript"}, En, V::On},
    {{"std:Search"}, En, V::On}, {{"std:Save"}, En, V::On}, {{"std:Print"}, En, V::T}, {{"std:WordWrap"}, En, V::On},
    {{"fmt:Bold"}, En, V::On}, {{"fmt:Italic"}, En, V::On}, {{"fmt:Underline"}, En, V::On},
    {{"fmt:StrikeThru"}, En, V::On}, {{"fmt:Left"}, En, V::On}, {{"fmt:Center"}, En, V::On},
    {{"fmt:Right"}, En, V::On}, {{"fmt:Bullet"}, En, V::On}, {{"fmt:CaseToUpper"}, En, V::On},
    {{"fmt:CaseToLower"}, En, V::On}, {{"fmt:TabLeft"}, En, V::D}, {{"fmt:TabRight"}, En, V::D},
    {{"fmt:TruFont"}, En, V::On},
    {{"mnuLocalPort"}, Vis, V::L0},
    {{"cboFontName"}, En, V::On}, {{"cboFontSize"}, En, V::On}, {{"txtFontColors"}, En, V::On},
};

// updFgsMDI, stages 1 to 4.
struct StagedRule {
    int stage;
    Rule rule;
};
const StagedRule kUpd[] = {
    {1, {{"mnuViewMode", 0}, En, V::D}}, {1, {{"mnuViewMode", 1}, En, V::D}}, {1, {{"mnuViewMode", 2}, En, V::D}},
    {1, {{"mnuFilePrintNow"}, En, V::T}}, {1, {{"mnuFileSaveSelectionAs"}, En, V::T}},
    {1, {{"mnuEditUndo"}, En, V::EU}}, {1, {{"mnuEditCut"}, En, V::ES}}, {1, {{"mnuEditCopy"}, En, V::S}},
    {1, {{"mnuEditPaste"}, En, V::EP}}, {1, {{"mnuEditDelete"}, En, V::ES}}, {1, {{"mnuTagClean"}, En, V::C}},
    {1, {{"mnuViewBuffer"}, Vis, V::L0}}, {1, {{"mnuKeyPad"}, Vis, V::L4}}, {1, {{"mnuIProgress"}, Vis, V::L4}},

    {2, {{"mnuPrinting"}, En, V::On}}, {2, {{"mnuBulletsSet"}, En, V::E}}, {2, {{"mnuTypeSet"}, En, V::T}},
    {2, {{"mnuScriptSet"}, En, V::T}}, {2, {{"mnuFormatScript"}, En, V::T}}, {2, {{"mnuCaseConvert"}, En, V::ET}},
    {2, {{"mnuFormatDentMain"}, En, V::T}}, {2, {{"mnuParagraphAlign"}, En, V::T}},

    {3, {{"std:Print"}, En, V::T}}, {3, {{"std:Search"}, En, V::T}}, {3, {{"std:WordWrap"}, En, V::D}},
    {3, {{"std:Undo"}, En, V::EU}}, {3, {{"std:Cut"}, En, V::ES}}, {3, {{"std:Copy"}, En, V::S}},
    {3, {{"std:Paste"}, En, V::EP}},

    {4, {{"fmt:CaseToUpper"}, En, V::ET}}, {4, {{"fmt:CaseToLower"}, En, V::ET}}, {4, {{"fmt:TabLeft"}, En, V::D}},
    {4, {{"fmt:TabRight"}, En, V::D}},
};

// Stage 6: enabled whenever a CFile is active.
const Control kFields[] = {{"fmt:TruFont"}, {"cboFontName"}, {"cboFontSize"}, {"txtFontColors"}};

bool isTrue(const std::optional<bool> &v) { return v && *v; }

// The alignment buttons (and with marks, their menu items) from SelAlignment:
// 0 Left, 2 Center, 1 Right; true when the value was one of these.
bool pressAlignment(frmMDI *mdi, const std::optional<int> &a, bool marks)
{
    if (!a || (*a != RichTextBox::rtfLeft && *a != RichTextBox::rtfCenter && *a != RichTextBox::rtfRight))
        return false;
    button(mdi, "fmt:Left")->setChecked(*a == RichTextBox::rtfLeft);
    button(mdi, "fmt:Center")->setChecked(*a == RichTextBox::rtfCenter);
    button(mdi, "fmt:Right")->setChecked(*a == RichTextBox::rtfRight);
    if (marks) {
        mdi->mnuParaLeft->setChecked(*a == RichTextBox::rtfLeft);
        mdi->mnuParaCenter->setChecked(*a == RichTextBox::rtfCenter);
        mdi->mnuParaRight->setChecked(*a == RichTextBox::rtfRight);
    }
    return true;
}

QString sizeText(double points) { return QString::number(points, 'g', 6); }

void runTrapped(const QString &location, const std::function<void()> &body)
{
    if (!trapErrors(body)) {
        errLoc(location);
        Err.Clear();
    }
}

} // namespace

bool isEditAllowed() { return !(RxRoute[1] && CroSta.croSnsOn) || SoftEdit; }

bool clipboardHasText()
{
    static bool known = false;
    static bool hasText = false;
    QClipboard *cb = QGuiApplication::clipboard();
    static QPointer<QClipboard> watched;
    if (watched != cb) {
        watched = cb;
        known = false;
        QObject::connect(cb, &QClipboard::dataChanged, cb, [] { known = false; });
    }
    if (!known) {
        const QMimeData *m = cb->mimeData();
        hasText = m && m->hasText();
        known = true;
    }
    return hasText;
}

void zapFgsMDI()
{
    frmMDI *mdi = frmMDI::instance();
    if (!mdi)
        return;
    runTrapped(QStringLiteral("modMain\\zapFgsMDI"), [mdi] {
        for (const Rule &r : kZap)
            put(mdi, r.control, r.prop, false);
    });
}

void setFgsMDI()
{
    frmMDI *mdi = frmMDI::instance();
    if (!mdi)
        return;
    runTrapped(QStringLiteral("modMain\\setFgsMDI"), [mdi] {
        const Snapshot s = takeSnapshot(ActiveForm());
        for (const Rule &r : kSet)
            put(mdi, r.control, r.prop, value(r.value, s));
    });
}

void updFgsMDI()
{
    frmMDI *mdi = frmMDI::instance();
    if (!mdi)
        return;
    int stage = 0;
    if (trapErrors([mdi, &stage] {
            frmDocument *doc = ActiveForm();
            const Snapshot s = takeSnapshot(doc);
            for (stage = 1; stage <= 4; ++stage) {
                for (const StagedRule &r : kUpd)
                    if (r.stage == stage)
                        put(mdi, r.rule.control, r.rule.prop, value(r.rule.value, s));
                // Stage 2 ends with the Bullets mark; a mixed selection
                // leaves it cleared.
                if (stage == 2)
                    mdi->mnuBulletsSet->setChecked(s.D && s.T && isTrue(doc->rtfText->SelBullet()));
            }
            stage = 5;
            if (!s.D)
                return;
            RichTextBox *box = doc->rtfText;
            pressAlignment(mdi, box->SelAlignment(), false);
            stage = 6;
            button(mdi, "fmt:Bold")->setChecked(isTrue(box->SelBold()));
            button(mdi, "fmt:Italic")->setChecked(isTrue(box->SelItalic()));
            button(mdi, "fmt:Underline")->setChecked(isTrue(box->SelUnderline()));
            button(mdi, "fmt:StrikeThru")->setChecked(isTrue(box->SelStrikeThru()));
            button(mdi, "fmt:Bullet")->setChecked(value(V::E, s) && isTrue(box->SelBullet()));
            for (const Control &c : kFields)
                put(mdi, c, En, true);
            if (s.S) {
                // A selection that mixes fonts or sizes leaves the box empty;
                // one that mixes colours keeps the colour shown before.
                const std::optional<QString> name = box->SelFontName();
                mdi->cboFontName->setEditText(name.value_or(QString()));
                const std::optional<double> size = box->SelFontSize();
                mdi->cboFontSize->setEditText(size ? sizeText(*size) : QString());
                QPalette pal = mdi->txtFontColors->palette();
                if (const std::optional<QColor> color = box->SelColor())
                    pal.setColor(QPalette::Text, *color);
                pal.setColor(QPalette::Base, box->BackColor());
                mdi->txtFontColors->setPalette(pal);
            }
        })) {
        return;
    }
    errLoc(QStringLiteral("modMain\\updFgsMDI(") + QString::number(stage) + u')');
    Err.Clear();
}

void setEditBtns(bool lock)
{
    frmMDI *mdi = frmMDI::get();
    const bool on = !lock;
    for (const char *key : {"std:Cut", "std:Paste", "std:Undo", "std:Redo", "fmt:CaseToUpper", "fmt:CaseToLower"})
        button(mdi, key)->setEnabled(on);
    for (QAction *item : {mdi->mnuEditUndo, mdi->mnuEditRedo, mdi->mnuEditCut, mdi->mnuEditPaste,
                          mdi->mnuEditDelete, mdi->mnuCaseConvert->menuAction()})
        item->setEnabled(on);
}

void updFmtButtons()
{
    frmDocument *doc = ActiveForm();
    frmMDI *mdi = frmMDI::instance();
    if (!doc || !mdi)
        return;
    RichTextBox *box = doc->rtfText;
    struct Toggle {
        const char *key;
        QAction *mark;
        std::optional<bool> value;
    };
    const Toggle toggles[] = {{"fmt:Bold", mdi->mnuTypBold, box->SelBold()},
                              {"fmt:Italic", mdi->mnuTypItalic, box->SelItalic()},
                              {"fmt:Underline", mdi->mnuScrpUnderline, box->SelUnderline()},
                              {"fmt:StrikeThru", mdi->mnuScrpStrikeThru, box->SelStrikeThru()}};
    for (const Toggle &t : toggles) {
        t.mark->setChecked(isTrue(t.value));
        button(mdi, t.key)->setChecked(isTrue(t.value));
    }
    // Released and cleared first, so a mixed alignment leaves all three so.
    for (const char *key : {"fmt:Left", "fmt:Center", "fmt:Right"})
        button(mdi, key)->setChecked(false);
    for (QAction *mark : {mdi->mnuParaLeft, mdi->mnuParaCenter, mdi->mnuParaRight})
        mark->setChecked(false);
    pressAlignment(mdi, box->SelAlignment(), true);
    mdi->tbrFormat->update();
    box->setFocus();
}

void installEditState() { installEditLock(&setEditBtns); }

} // namespace vt
