#include "editor/modToolbars.h"

#include "editor/frmDocument.h"
#include "editor/frmFScreen.h"
#include "editor/modDocCommands.h"
#include "editor/modDocument.h"
#include "editor/modEditCommands.h"
#include "editor/modEditorNbr.h"
#include "platform/errors.h"
#include "platform/forms.h"
#include "platform/commondlg.h"
#include "platform/conversions.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/settings.h"
#include "shell/frmMDI.h"
#include "shell/modApi.h"
#include "shell/modErrMsgs.h"
#include "shell/modMain.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QHash>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>

namespace vt {

namespace {

using ToolCommand = void (*)();

// The standard toolbar's editing keys. BTerminal, Connect and Setup belong to
// the main window's link buttons, which it connects itself.
const QHash<QString, ToolCommand> &standardCommands()
{
    static const QHash<QString, ToolCommand> table{
        {QStringLiteral("New"), &mnuFileNew_Click},
        {QStringLiteral("Open"), &mnuFileOpen_Click},
        {QStringLiteral("Save"), &mnuFileSave_Click},
        {QStringLiteral("Print"), &mnuFilePrintNow_Click},
        {QStringLiteral("Search"), &mnuSearchFind_Click},
        {QStringLiteral("Cut"), &mnuEditCut_Click},
        {QStringLiteral("Copy"), &mnuEditCopy_Click},
        {QStringLiteral("Paste"), &mnuEditPaste_Click},
        {QStringLiteral("Undo"), &mnuEditUndo_Click},
        {QStringLiteral("Redo"), &mnuEditRedo_Click},
        {QStringLiteral("WordWrap"),
         [] {
             ViewMode = ViewMode == 1 ? 0 : 1;
             mnuViewMode_Click(ViewMode);
         }},
        {QStringLiteral("FullScreen"), &mnuViewFullScreen_Click},
        {QStringLiteral("Keypad"),
         [] {
             if (frmMDI *mdi = frmMDI::instance())
                 mdi->tbrKeypad_Click();
         }},
        {QStringLiteral("Help"),
         [] {
             if (frmMDI *mdi = frmMDI::instance())
                 mdi->mnuHelpContents_Click();
         }},
    };
    return table;
}

const QHash<QString, ToolCommand> &formatCommands()
{
    static const QHash<QString, ToolCommand> table{
        {QStringLiteral("Bold"), &mnuTypBold_Click},
        {QStringLiteral("Italic"), &mnuTypItalic_Click},
        {QStringLiteral("Underline"), &mnuScrpUnderline_Click},
        {QStringLiteral("StrikeThru"), &mnuScrpStrikeThru_Click},
        {QStringLiteral("Left"), &mnuParaLeft_Click},
        {QStringLiteral("Center"), &mnuParaCenter_Click},
        {QStringLiteral("Right"), &mnuParaRight_Click},
        {QStringLiteral("Bullet"), &mnuBulletsSet_Click},
        {QStringLiteral("TabLeft"), &mnuFormatOutdent_Click},
        {QStringLiteral("TabRight"), &mnuFormatIndent_Click},
        {QStringLiteral("CaseToLower"), &cvtCaseLower},
        {QStringLiteral("CaseToUpper"), &cvtCaseUpper},
        {QStringLiteral("TruFont"), [] { nbrTools().getGenFonts(); }},
    };
    return table;
}

void dispatch(const QHash<QString, ToolCommand> &table, const QString &key)
{
    if (const auto it = table.constFind(key); it != table.constEnd())
        it.value()();
}

} // namespace

void tbrStandard_ButtonClick(const QString &key) { dispatch(standardCommands(), key); }

void tbrFormat_ButtonClick(const QString &key) { dispatch(formatCommands(), key); }

void mnuViewMode_Click(int16_t index)
{
    if (!ActiveForm()) {
        shoMsgBox(QStringLiteral("No Open CFile...!"), QStringLiteral("Jotrix"), true);
        return;
    }
    setWrapMode(index);
    setRtfWrap();
}

namespace {
void saveBar(const char *key, bool shown)
{
    SaveSetting(AppTitle, QStringLiteral("frmMDI"), QString::fromLatin1(key), BoolText(shown));
}
} // namespace

void mnuViewToolbarStandard_Click(bool checked)
{
    frmMDI::get()->setBandVisible(1, checked);
    saveBar("StandardToolbar", checked);
}

void mnuViewToolbarFormat_Click(bool checked)
{
    frmMDI::get()->setBandVisible(2, checked);
    saveBar("FormatToolbar", checked);
}

void mnuViewRuler_Click(bool checked)
{
    frmMDI::get()->cbrRuler->setVisible(checked);
    saveBar("Ruler", checked);
}

void mnuViewStatusBar_Click(bool checked)
{
    frmMDI::get()->SXB->setVisible(checked);
    saveBar("StatusBar", checked);
}

void mnuInsertTextFile_Click()
{
    frmDocument *doc = activeCFileOrNotice();
    if (!doc)
        return;
    if (!trapErrors([&] {
        dialogs::FileRequest request;
        request.title = QStringLiteral("Select File to Insert");
        request.filter =
            QStringLiteral("CFile (*.rtf)|*.rtf|RichText (*.rtf)|*.rtf|Text (*.txt)|*.txt|Log (*.log)|*.log|All (*.*)|*.*|");
        const std::optional<QStringList> chosen = dialogs::chooseFiles(request);
        if (!chosen || chosen->isEmpty())
            return; // cancelled
        const QString path = chosen->first();
        const int16_t kind = chkFileExt(path);
        if (kind == 8 || kind == 9) {
            MsgBox(QStringLiteral("Wrong File Extension"), vbOKOnly | vbSystemModal | vbMsgBoxSetForeground);
            return;
        }
        // The file passes through the clipboard, so the box converts it as
        // it does any paste, and the clipboard holds it afterwards.
        RichTextBox rtfTemp;
        rtfTemp.LoadFile(path, kind == 0 ? RichTextBox::rtfRTF : RichTextBox::rtfText);
        rtfTemp.SetSelStart(0);
        rtfTemp.SetSelLength(rtfTemp.TextLength());
        rtfTemp.Cut();
        doc->rtfText->Paste();
    }))
        errLoc(QStringLiteral("frmMDI\\mnuInsertTextFile_Click"));
}

void mnuInsertPicture_Click()
{
    frmDocument *doc = activeCFileOrNotice();
    if (!doc)
        return;
    if (!trapErrors([&] {
        dialogs::FileRequest request;
        request.title = QStringLiteral("Select Picture...");
        request.filter = QStringLiteral("Bitmaps (*.bmp;*.dib)|*.bmp;*.dib|GIF Images (*.gif)|*.gif|"
                                        "JPEG Images (*.jpg)|*.jpg|PNG Images (*.png)|*.png|");
        const std::optional<QStringList> chosen = dialogs::chooseFiles(request);
        if (!chosen || chosen->isEmpty())
            return; // cancelled
        QImageReader reader(chosen->first());
        reader.setDecideFormatFromContent(true);
        const QImage picture = reader.read();
        if (picture.isNull())
            raise(481, QStringLiteral("Invalid picture"));
        // The picture goes through the clipboard like any paste, so the CFile
        // takes it as it takes a pasted one and the clipboard holds it after.
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setImage(picture);
        doc->rtfText->Paste();
    }))
        errLoc(QStringLiteral("frmMDI\\mnuInsertPicture_Click"));
}

void mnuInsertPathandFile_Click()
{
    frmDocument *doc = activeCFileOrNotice();
    if (!doc)
        return;
    const QString caption = doc->Caption();
    if (!caption.startsWith(QStringLiteral("Document")))
        doc->rtfText->SetSelText(caption);
}

void popMain_Click()
{
    frmMDI *mdi = frmMDI::instance();
    if (!mdi)
        return;
    frmDocument *doc = ActiveForm();
    RichTextBox *box = doc ? doc->rtfText : nullptr;
    const bool open = box != nullptr;
    const bool text = open && box->TextLength() > 0;
    const bool sel = open && box->SelLength() > 0;
    const bool undo = open && box->CanUndo();
    mdi->popCapEdit->setChecked(SoftEdit);
    mdi->popUndo->setEnabled(undo);
    for (QAction *a : {mdi->popCut, mdi->popCopy, mdi->popDelete})
        a->setEnabled(sel);
    mdi->popPaste->setEnabled(open);
    for (QAction *a : {mdi->popSelectAll, mdi->popCaseUpper, mdi->popCaseLower, mdi->popSearch, mdi->popSearchGoTo})
        a->setEnabled(text);
    mdi->popRemCtr->setEnabled(SoftMore);
    mdi->popCapture->setEnabled(SoftMore);
}

void wireToolbars(frmMDI *mdi)
{
    if (!mdi)
        return;
    const auto connectBar = [mdi](QToolBar *bar, const QHash<QString, ToolCommand> &table, void (*click)(const QString &),
                                  const char *where) {
        for (auto it = table.constBegin(); it != table.constEnd(); ++it) {
            QAction *button = toolButton(bar, it.key());
            if (!button)
                continue;
            const QString key = it.key();
            const QString location = QString::fromLatin1(where) + u'(' + key + u')';
            QObject::connect(button, &QAction::triggered, mdi, [button, key, location, click](bool checked) {
                // A pressed look follows the program's state, set by the
                // refreshes; a click alone does not flip it.
                if (button->isCheckable())
                    button->setChecked(!checked);
                guarded(location, [&] { click(key); });
            });
        }
    };
    connectBar(mdi->tbrStandard, standardCommands(), &tbrStandard_ButtonClick, "frmMDI/tbrStandard_ButtonClick");
    connectBar(mdi->tbrFormat, formatCommands(), &tbrFormat_ButtonClick, "frmMDI/tbrFormat_ButtonClick");

    QObject::connect(mdi->popMain, &QMenu::aboutToShow, mdi,
                     [] { guarded(QStringLiteral("frmMDI/popMain_Click"), &popMain_Click); });
    const auto item = [mdi](QAction *a, ToolCommand handler) {
        const QString where = QStringLiteral("frmMDI/") + a->objectName() + QStringLiteral("_Click");
        QObject::connect(a, &QAction::triggered, mdi, [where, handler] { guarded(where, handler); });
    };
    item(mdi->popUndo, &mnuEditUndo_Click);
    item(mdi->popCut, &mnuEditCut_Click);
    item(mdi->popCopy, &mnuEditCopy_Click);
    item(mdi->popPaste, &mnuEditPaste_Click);
    item(mdi->popDelete, &mnuEditDelete_Click);
    item(mdi->popSelectAll, &mnuEditSelectAll_Click);
    item(mdi->popSearch, &mnuSearchFind_Click);
    item(mdi->popSearchGoTo, &mnuSearchGoTo_Click);
    item(mdi->popFont, &mnuFormatFont_Click);
    item(mdi->popCaseUpper, &cvtCaseUpper);
    item(mdi->popCaseLower, &cvtCaseLower);
    // "Format..." opens the formatting dialog of the CFile.
    item(mdi->popFormat, &mnuFormatStart_Click);

    const auto toggle = [mdi](QAction *a, void (*handler)(bool)) {
        const QString where = QStringLiteral("frmMDI/") + a->objectName() + QStringLiteral("_Click");
        QObject::connect(a, &QAction::triggered, mdi, [where, handler](bool checked) {
            guarded(where, [&] { handler(checked); });
        });
    };
    toggle(mdi->mnuViewToolbarStandard, &mnuViewToolbarStandard_Click);
    toggle(mdi->mnuViewToolbarFormat, &mnuViewToolbarFormat_Click);
    toggle(mdi->mnuViewRuler, &mnuViewRuler_Click);
    toggle(mdi->mnuViewStatusBar, &mnuViewStatusBar_Click);
    item(mdi->mnuInsertTextFile, &mnuInsertTextFile_Click);
    item(mdi->mnuInsertPathandFile, &mnuInsertPathandFile_Click);
    item(mdi->mnuInsertPicture, &mnuInsertPicture_Click);

    for (int16_t i = 0; i < 3; ++i) {
        QAction *mode = mdi->mnuViewMode[i];
        const QString where = QStringLiteral("frmMDI/mnuViewMode_Click(%1)").arg(i);
        QObject::connect(mode, &QAction::triggered, mdi, [mode, i, where](bool checked) {
            mode->setChecked(!checked); // the check follows ViewMode
            guarded(where, [i] { mnuViewMode_Click(i); });
        });
    }
}

} // namespace vt
