#include "editor/modEditCommands.h"

#include "editor/frmDocument.h"
#include "editor/frmOptions.h"
#include "editor/modDocument.h"
#include "editor/modEditState.h"
#include "editor/modEditorNbr.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/menutable.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "shell/epCmDlg.h"
#include "shell/frmMDI.h"
#include "shell/modErrMsgs.h"
#include "shell/modNeighbours.h"
#include "shell/modStatus.h"

#include <QStatusBar>
#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QList>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace vt {

namespace {

constexpr int kCancelSelected = 32755;

const QString kNoCFile = QStringLiteral("No Open CFile !");

// The no-CFile notice: true (and the notice shown) when no CFile is active.
bool noCFile(const QString &title = QStringLiteral("Jotrix"))
{
    if (ActiveForm())
        return false;
    shoMsgBox(kNoCFile, title, true);
    return true;
}

RichTextBox *activeBox()
{
    frmDocument *doc = ActiveForm();
    return doc ? doc->rtfText : nullptr;
}

// The selection saved by sarSelect: start and length.
int savedStart = 0;
int savedLength = 0;

// Replaces every character of the box's selection by its upper- or lower-case
// form, one character for one, so that positions and each run's format stay.
void convertSelection(RichTextBox *box, bool upper)
{
    const QTextCursor sel = box->textCursor();
    const int from = sel.selectionStart();
    const int to = sel.selectionEnd();
    QTextDocument *doc = box->document();
    struct Run {
        int start;
        QString text;
        QTextCharFormat format;
    };
    QList<Run> runs;
    for (QTextBlock b = doc->findBlock(from); b.isValid() && b.position() < to; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int start = std::max(f.position(), from);
            const int end = std::min(f.position() + f.length(), to);
            if (start >= end)
                continue;
            const QString text = f.text().mid(start - f.position(), end - start);
            QString changed = text;
            for (QChar &c : changed)
                c = upper ? c.toUpper() : c.toLower();
            if (changed != text)
                runs.append({start, changed, f.charFormat()});
        }
    }
    if (runs.isEmpty())
        return;
    QTextCursor edit(doc);
    edit.beginEditBlock();
    for (const Run &r : runs) {
        edit.setPosition(r.start);
        edit.setPosition(r.start + int(r.text.size()), QTextCursor::KeepAnchor);
        edit.insertText(r.text, r.format);
    }
    edit.endEditBlock();
}

void convertCase(bool upper)
{
    if (noCFile())
        return;
    RichTextBox *box = activeBox();
    if (box->TextLength() == 0)
        return;
    sarSelect(0);
    if (box->SelLength() > 0) {
        convertSelection(box, upper);
    } else {
        // With no selection, the character before the caret; at the very
        // start there is none.
        if (box->SelStart() <= 0)
            return;
        box->SetSelStart(box->SelStart() - 1);
        box->SetSelLength(1);
        convertSelection(box, upper);
    }
    sarSelect(1);
}

void setCharOffset(int twips)
{
    if (noCFile())
        return;
    activeBox()->SetSelCharOffset(twips);
    updAllSta();
}

void shiftIndent(int direction)
{
    if (noCFile())
        return;
    // The step is the default margins' Indent, 0 until the user sets one:
    // then nothing moves, and the status bar says where the step is set.
    if (MargFmtDef.HangingIndent == 0) {
        frmMDI::get()->SXB->showMessage(
            QStringLiteral("Indent and Outdent move by the Indent of Format > Margins, which is 0."), 15000);
        return;
    }
    // Every paragraph moves from its own edge, so a selection over paragraphs
    // of different indents keeps their differences.
    activeBox()->ShiftSelIndent(direction * MargFmtDef.HangingIndent);
}

// Selection formats from the menus: the operations themselves do nothing
// without a CFile, which a menu command must say.
void formatCommand(void (*operation)())
{
    if (noCFile())
        return;
    operation();
}

// --- the command keys ---------------------------------------------------------

// Keys that a CFile window already gives a meaning of its own (notes, the
// remote-control panel, the chronograph's keypad in Shoot mode): no command
// takes them.
bool keyOfCFileWindow(const QKeyCombination &k)
{
    const Qt::KeyboardModifiers mods = k.keyboardModifiers() & ~Qt::KeypadModifier;
    const Qt::Key key = k.key();
    if (mods == Qt::NoModifier) {
        switch (key) {
        case Qt::Key_F1: case Qt::Key_F2: case Qt::Key_F4: case Qt::Key_F5:
        case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_Left: case Qt::Key_Right:
        case Qt::Key_Delete: case Qt::Key_Backspace: case Qt::Key_PageUp: case Qt::Key_PageDown:
            return true;
        default:
            return false;
        }
    }
    return mods == Qt::AltModifier && (key == Qt::Key_Delete || key == Qt::Key_Backspace);
}

// The main window's commands that have keys, for the CFile boxes' filter.
QList<QPointer<QAction>> &keyedCommands()
{
    static QList<QPointer<QAction>> list;
    return list;
}

void giveKeys(QAction *item, QKeySequence::StandardKey standard)
{
    QList<QKeySequence> keys;
    for (const QKeySequence &k : QKeySequence::keyBindings(standard))
        if (k.count() == 1 && !keyOfCFileWindow(k[0]))
            keys << k;
    item->setShortcuts(keys);
    if (!keys.isEmpty())
        keyedCommands() << item;
}

bool isCommandKey(const QKeyEvent *e)
{
    const QKeySequence typed(e->keyCombination());
    for (const QPointer<QAction> &a : keyedCommands())
        if (a)
            for (const QKeySequence &k : a->shortcuts())
                if (k == typed)
                    return true;
    return false;
}

class CommandKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() != QEvent::ShortcutOverride && e->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, e);
        if (!isCommandKey(static_cast<QKeyEvent *>(e)))
            return false;
        // The override is left unclaimed, so the command's shortcut runs; a
        // key press that still arrives belongs to a command that is disabled
        // now, and the box must not act on it either.
        if (e->type() == QEvent::ShortcutOverride)
            e->ignore();
        else
            e->accept();
        return true;
    }
};

} // namespace

// --- Edit ----------------------------------------------------------------------

void mnuEditUndo_Click()
{
    if (hasOpenCFile())
        return;
    activeBox()->Undo();
}

void mnuEditRedo_Click()
{
    shoMsgBox(QStringLiteral("General X-1 Error!"), QStringLiteral("Jotrix"), true);
}

void mnuEditCut_Click()
{
    if (hasOpenCFile())
        return;
    activeBox()->Cut();
}

void mnuEditCopy_Click()
{
    if (hasOpenCFile())
        return;
    activeBox()->Copy();
}

void mnuEditPaste_Click()
{
    if (noCFile(QStringLiteral("Vantrell")))
        return;
    RichTextBox *box = activeBox();
    const int start = box->SelStart();
    box->Paste();
    const int end = box->SelStart();
    box->SetSelStart(start);
    box->SetSelLength(end - start);
    box->setFocus();
    updFgsMDI();
}

void mnuEditDelete_Click()
{
    if (noCFile())
        return;
    activeBox()->Clear();
}

void mnuEditSelectAll_Click()
{
    if (hasOpenCFile())
        return;
    RichTextBox *box = activeBox();
    box->SetSelStart(0);
    box->SetSelLength(box->TextLength());
}

void mnuTagClean_Click()
{
    if (noCFile())
        return;
    ActiveForm()->bChanged = false;
}

// --- Search --------------------------------------------------------------------

void mnuSearchFind_Click()
{
    if (hasOpenCFile())
        return;
    ToolsNbr &tools = nbrTools();
    if (tools.findVisible())
        tools.lodFind();
    else
        tools.showFind();
    setActDocFocus();
}

void mnuSearchFindNext_Click()
{
    if (hasOpenCFile())
        return;
    // A failing step does not stop the next one.
    ResumeNext step;
    ToolsNbr &tools = nbrTools();
    bool visible = false;
    step([&] { visible = tools.findVisible(); });
    step([&] {
        if (visible)
            tools.mdiFindNext();
        else
            tools.showFind();
    });
    step([] { setActDocFocus(); });
    Err.Clear();
}

void mnuSearchReplace_Click()
{
    if (hasOpenCFile())
        return;
    ToolsNbr &tools = nbrTools();
    if (tools.findVisible())
        tools.mdiFindReplace();
    else
        tools.showFind();
}

void mnuSearchGoTo_Click()
{
    if (hasOpenCFile())
        return;
    nbrTools().showGoTo();
}

// --- Format --------------------------------------------------------------------

void mnuFormatStart_Click()
{
    // The dialog edits the default font, so it opens without a CFile too
    // (then it cannot apply the font or take it from the cursor).
    if (RichTextBox *box = activeBox())
        box->SetHideSelection(false);
    nbrTools().showTextFont();
    updAllSta();
    if (RichTextBox *box = activeBox())
        box->SetHideSelection(false);
}

void mnuMrgnsSetup_Click()
{
    nbrTools().showPageMrgns();
    updAllSta();
    setActDocFocus();
}

void mnuFrmtTabs_Click()
{
    nbrTools().showPageTabs();
    updAllSta();
    setActDocFocus();
}

void mnuFormatFont_Click() { nbrTools().getGenFonts(); }

void mnuParaLeft_Click() { formatCommand(&setAlignLeft); }
void mnuParaCenter_Click() { formatCommand(&setAlignCenter); }
void mnuParaRight_Click() { formatCommand(&setAlignRight); }
void mnuScrpUnderline_Click() { formatCommand(&togSelUnderline); }
void mnuScrpStrikeThru_Click() { formatCommand(&togSelStrike); }
void mnuTypItalic_Click() { formatCommand(&togSelItalic); }
void mnuTypBold_Click() { formatCommand(&togSelBold); }

void mnuFormatScriptNoScript_Click() { setCharOffset(0); }
void mnuFormatScriptSubScript_Click() { setCharOffset(-55); }
void mnuFormatScriptSuperScript_Click() { setCharOffset(55); }

void mnuFormatIndent_Click() { shiftIndent(1); }
void mnuFormatOutdent_Click() { shiftIndent(-1); }

void mnuBulletsSet_Click()
{
    if (noCFile())
        return;
    togBullet();
    updAllSta();
}

void cboFontName_Click()
{
    if (noCFile())
        return;
    activeBox()->SetSelFontName(frmMDI::get()->cboFontName->currentText());
    setActDocFocus();
}

void cboFontSize_Click()
{
    if (noCFile())
        return;
    bool ok = false;
    const double size = frmMDI::get()->cboFontSize->currentText().trimmed().toDouble(&ok);
    if (!ok)
        raise(13);
    activeBox()->SetSelFontSize(size);
    setActDocFocus();
}

void txtFontColors_Click()
{
    if (noCFile())
        return;
    Err.Clear();
    if (trapErrors([] {
            cmDlg.CancelError = true;
            const QColor color = colorFromNumber(uint32_t(cmDlg.ShowColor().toInt()));
            frmMDI *mdi = frmMDI::get();
            QPalette pal = mdi->txtFontColors->palette();
            pal.setColor(QPalette::Base, color);
            mdi->txtFontColors->setPalette(pal);
            activeBox()->SetSelColor(color);
            setActDocFocus();
        }))
        return;
    if (Err.Number == kCancelSelected) {
        Err.Clear();
        return;
    }
    errLoc(QStringLiteral("frmMDI/txtFonrColors"));
    Err.Clear();
    setActDocFocus();
}

// --- File > Print ----------------------------------------------------------------

void mnuFilePrintNow_Click()
{
    if (noCFile())
        return;
    frmDocument *doc = ActiveForm();
    if (doc->rtfText->TextLength() < 2) {
        MsgBox(QStringLiteral("''") + doc->Caption() + QStringLiteral("'' is empty!\r\nThere is nothing to print."),
               vbOKOnly);
        return;
    }
    nbrTools().PrintRTF(doc->rtfText, PrnMargins.Left, PrnMargins.Top, PrnMargins.Right, PrnMargins.Bottom);
}

void mnuPrnPreview_Click() { nbrTools().showPrintPreview(); }
void mnuFilePageSetup_Click() { nbrTools().getPrnMargins(); }

void mnuPrintSetup_Click()
{
    // PD_NONETWORKBUTTON, PD_PRINTSETUP, PD_COLLATE, PD_SELECTION.
    cmDlg.Flags = 0x200051;
    Err.Clear();
    nbrTools().printerDialogOpens();
    if (trapErrors([] { cmDlg.ShowPrinter(); })) {
        nbrTools().printerChosen();
        return;
    }
    // Page setup leaves CancelError set; a cancelled printer dialog is no error.
    if (Err.Number == kCancelSelected) {
        Err.Clear();
        return;
    }
    raise(Err.Number, Err.Description, Err.Source);
}

// --- Interface -------------------------------------------------------------------

void mnuLogFont_Click() { nbrTools().showLogFonts(); }

// --- Insert and the CFile's information ----------------------------------------------

void mnuInsertTimeDate_Click()
{
    if (noCFile())
        return;
    nbrTools().showTimeDate();
}

void mnuInsertSymbols_Click()
{
    if (noCFile())
        return;
    nbrTools().showSymbols();
}

void mnuViewDocumentProperties_Click()
{
    if (noCFile())
        return;
    nbrTools().showDocInfo();
}
void mnuXSetup_Click() { frmOptions::showDialog(); }

// --- selection and case ------------------------------------------------------------

void sarSelect(int16_t mode)
{
    RichTextBox *box = activeBox();
    if (!box)
        return;
    if (mode == 0) {
        savedStart = box->SelStart();
        savedLength = box->SelLength();
        return;
    }
    box->SetSelStart(savedStart);
    box->SetSelLength(savedLength);
    box->setFocus();
}

void cvtCaseUpper() { convertCase(true); }
void cvtCaseLower() { convertCase(false); }

// --- wiring ------------------------------------------------------------------------

void installCommandKeys(RichTextBox *box)
{
    if (box)
        box->installEventFilter(new CommandKeyFilter(box));
}

void wireEditCommands(frmMDI *mdi)
{
    if (!mdi)
        return;
    keyedCommands().clear();
    auto wire = [mdi](QAction *item, void (*handler)()) {
        const QString where = QStringLiteral("frmMDI/") + item->objectName() + QStringLiteral("_Click");
        QObject::connect(item, &QAction::triggered, mdi, [item, handler, where](bool checked) {
            // Check marks show the program's state, set by the commands and
            // the refreshes; a click alone does not flip them.
            if (item->isCheckable())
                item->setChecked(!checked);
            guarded(where, handler);
        });
    };
    wire(mdi->mnuEditUndo, &mnuEditUndo_Click);
    wire(mdi->mnuEditRedo, &mnuEditRedo_Click);
    wire(mdi->mnuEditCut, &mnuEditCut_Click);
    wire(mdi->mnuEditCopy, &mnuEditCopy_Click);
    wire(mdi->mnuEditPaste, &mnuEditPaste_Click);
    wire(mdi->mnuEditDelete, &mnuEditDelete_Click);
    wire(mdi->mnuEditSelectAll, &mnuEditSelectAll_Click);
    wire(mdi->mnuTagClean, &mnuTagClean_Click);

    wire(mdi->mnuSearchFind, &mnuSearchFind_Click);
    wire(mdi->mnuSearchFindNext, &mnuSearchFindNext_Click);
    wire(mdi->mnuSearchReplace, &mnuSearchReplace_Click);
    wire(mdi->mnuSearchGoTo, &mnuSearchGoTo_Click);

    wire(mdi->mnuFormatStart, &mnuFormatStart_Click);
    wire(mdi->mnuMrgnsSetup, &mnuMrgnsSetup_Click);
    wire(mdi->mnuFrmtTabs, &mnuFrmtTabs_Click);
    wire(mdi->mnuFormatFont, &mnuFormatFont_Click);
    wire(mdi->mnuParaLeft, &mnuParaLeft_Click);
    wire(mdi->mnuParaCenter, &mnuParaCenter_Click);
    wire(mdi->mnuParaRight, &mnuParaRight_Click);
    wire(mdi->mnuScrpUnderline, &mnuScrpUnderline_Click);
    wire(mdi->mnuScrpStrikeThru, &mnuScrpStrikeThru_Click);
    wire(mdi->mnuTypItalic, &mnuTypItalic_Click);
    wire(mdi->mnuTypBold, &mnuTypBold_Click);
    wire(mdi->mnuFormatScriptNoScript, &mnuFormatScriptNoScript_Click);
    wire(mdi->mnuFormatScriptSubScript, &mnuFormatScriptSubScript_Click);
    wire(mdi->mnuFormatScriptSuperScript, &mnuFormatScriptSuperScript_Click);
    wire(mdi->mnuFormatIndent, &mnuFormatIndent_Click);
    wire(mdi->mnuFormatOutdent, &mnuFormatOutdent_Click);
    wire(mdi->mnuBulletsSet, &mnuBulletsSet_Click);
    wire(mdi->mnuCaseUpper, &cvtCaseUpper);
    wire(mdi->mnuCaseLower, &cvtCaseLower);

    wire(mdi->mnuFilePrintNow, &mnuFilePrintNow_Click);
    wire(mdi->mnuPrnPreview, &mnuPrnPreview_Click);
    wire(mdi->mnuFilePageSetup, &mnuFilePageSetup_Click);
    wire(mdi->mnuPrintSetup, &mnuPrintSetup_Click);

    wire(mdi->mnuLogFont, &mnuLogFont_Click);
    wire(mdi->mnuInsertTimeDate, &mnuInsertTimeDate_Click);
    wire(mdi->mnuInsertSymbols, &mnuInsertSymbols_Click);
    wire(mdi->mnuViewDocumentProperties, &mnuViewDocumentProperties_Click);
    wire(mdi->mnuXSetup, &mnuXSetup_Click);

    // The fields' Click is the user's choice from the list (or Enter).
    QObject::connect(mdi->cboFontName, &QComboBox::activated, mdi,
                     [] { guarded(QStringLiteral("frmMDI/cboFontName_Click"), &cboFontName_Click); });
    QObject::connect(mdi->cboFontSize, &QComboBox::activated, mdi,
                     [] { guarded(QStringLiteral("frmMDI/cboFontSize_Click"), &cboFontSize_Click); });
    class ColorClick : public QObject {
    public:
        using QObject::QObject;

    protected:
        bool eventFilter(QObject *watched, QEvent *e) override
        {
            const auto *w = qobject_cast<QWidget *>(watched);
            bool click = false;
            if (e->type() == QEvent::MouseButtonRelease)
                click = static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton;
            else if (e->type() == QEvent::KeyPress) {
                const int key = static_cast<QKeyEvent *>(e)->key();
                click = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
            }
            if (!click || !w || !w->isEnabled())
                return QObject::eventFilter(watched, e);
            guarded(QStringLiteral("frmMDI/txtFontColors_Click"), &txtFontColors_Click);
            return true;
        }
    };
    mdi->txtFontColors->installEventFilter(new ColorClick(mdi->txtFontColors));

    // The menu table names each item's standard keys; the bindings a CFile
    // box keeps for itself are left out here.
    for (QAction *item : mdi->menuBar()->findChildren<QAction *>())
        if (const QKeySequence::StandardKey key = menutable::standardKey(item); key != QKeySequence::UnknownKey)
            giveKeys(item, key);
}

} // namespace vt
