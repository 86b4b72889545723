#include "editor/modDocument.h"

#include "editor/frmDocument.h"
#include "editor/modEditorNbr.h"
#include "editor/modMRU.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/filesave.h"
#include "platform/longwork.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/timers.h"
#include "shell/epCmDlg.h"
#include "shell/frmMDI.h"
#include "shell/modApi.h"
#include "shell/modErrMsgs.h"
#include "shell/modFileOperations.h"
#include "shell/modRecovery.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"

#include <QDir>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QToolBar>
#include <cstdio>
#include <functional>
#include <limits>
#include <memory>

namespace vt {

namespace {

constexpr int kNotice = vbOKOnly | vbSystemModal | vbMsgBoxSetForeground;
constexpr int kCancelSelected = 32755;
const QString kCrLf = QStringLiteral("\r\n");
const QString kValidExts = QStringLiteral("Valid extensions are,  ''.cap''  ''.rtf  ''.txt''  ''.log''");

// A trapped failure is reported unless it is the Cancel of a dialog, which
// every operation here ends on quietly.
void reportUnlessCancel(const QString &location)
{
    if (Err.Number != kCancelSelected)
        errLoc(location);
    Err.Clear();
}

// Where the original of a partly read file is kept: beside it, with ".orig"
// added, or a numbered ".orig" when that name is taken already.
QString originalCopyName(const QString &path)
{
    QString name = path + QStringLiteral(".orig");
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = path + QStringLiteral(".orig") + QString::number(n);
    return name;
}

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    if (fa.exists() && fb.exists())
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

// What the reader left out of a partly read CFile exists only in its file:
// before the first save over that file, the file is copied beside it. When
// the copy fails, nothing is saved.
void keepOriginal(frmDocument *doc, const QString &name)
{
    if (doc->partlyReadFile.isEmpty() || !sameFile(doc->partlyReadFile, name))
        return;
    if (QFileInfo::exists(doc->partlyReadFile)) {
        const QString keep = originalCopyName(doc->partlyReadFile);
        QFile original(doc->partlyReadFile);
        if (!original.copy(keep))
            raise(75, errDescription(75) + QStringLiteral(": ") + keep + QStringLiteral(" (")
                          + original.errorString()
                          + QStringLiteral("). The original could not be kept, so it was not saved over."));
    }
    doc->partlyReadFile.clear();
}

// Says which parts of a CFile its file could not give, once, when it is read.
void noticeSkipped(frmDocument *doc, const QString &path)
{
    const QStringList skipped = doc->rtfText->LoadSkipped();
    if (skipped.isEmpty()) {
        doc->partlyReadFile.clear();
        return;
    }
    doc->partlyReadFile = QFileInfo(path).absoluteFilePath();
    MsgBox(QStringLiteral("''") + path + QStringLiteral("'' could be read only in part:") + kCrLf + skipped.join(kCrLf)
               + kCrLf + kCrLf + QStringLiteral("What was left out is not in this CFile. Before the first save over the file, ")
               + QStringLiteral("the original is kept beside it as ''") + QFileInfo(originalCopyName(doc->partlyReadFile)).fileName()
               + QStringLiteral("''."),
           vbOKOnly | vbExclamation | vbSystemModal | vbMsgBoxSetForeground);
}

// Saves under `name` with the rules of Save: no extension gets ".rtf" and
// rich text, an extension the program does not handle is refused. True when
// the file was written; the caption then names it and bChanged is cleared.
bool writeDoc(frmDocument *doc, QString name, int16_t code)
{
    if (code == 9) {
        name += QStringLiteral(".rtf");
        code = 0;
    } else if (code == 8) {
        MsgBox(QStringLiteral("''") + name.right(4) + QStringLiteral("'' has unknown file extension"), kNotice);
        return false;
    }
    keepOriginal(doc, name);
    writeCFile(doc->rtfText, name, code);
    doc->SetCaption(name);
    doc->bChanged = false;
    addMRU(name);
    return true;
}

// The Save As dialog for one CFile. Save All asks without the extension check
// and leaves the filter index as it stands.
bool saveAsDialog(frmDocument *doc, bool checkExt)
{
    bool saved = false;
    const QString location = QStringLiteral("modCFile/SaveAs->") + doc->Caption();
    Err.Clear();
    if (!trapErrors([&] {
            for (;;) {
                // The name with ".rtf" is only the dialog's proposal: the
                // caption changes when, and only when, the file is written.
                QString proposal = GetFTitle(doc->Caption());
                if (getExtType(proposal) == 9)
                    proposal += QStringLiteral(".rtf");
                cmDlg.CancelError = true;
                cmDlg.DialogTitle = QStringLiteral("Save As");
                cmDlg.Filter = CFileFilter;
                if (checkExt)
                    cmDlg.FilterIndex = 1;
                cmDlg.DefaultFilename = proposal;
                cmDlg.ShowSave();
                const QString path = cmDlg.cFileName.value(0);
                const QString title = cmDlg.cFileTitle.value(0);
                const int16_t code = chkFileExt(title);
                if (checkExt && (code == 8 || code == 9)) {
                    const QString why = code == 8 ? QStringLiteral("'' has invalid file extension")
                                                  : QStringLiteral("'' has no file extension");
                    const int answer = MsgBox(QStringLiteral("File name ''") + title + why + kCrLf + kValidExts,
                                              vbRetryCancel | vbExclamation | vbSystemModal | vbMsgBoxSetForeground);
                    if (answer == vbRetry)
                        continue;
                    return;
                }
                saved = writeDoc(doc, path, code);
                return;
            }
        }))
        reportUnlessCancel(location);
    return saved;
}

} // namespace

// --- the open CFiles --------------------------------------------------------

frmDocument *ActiveForm()
{
    QTextEdit *box = activeCFileBox();
    return box ? qobject_cast<frmDocument *>(box->parentWidget()) : nullptr;
}

frmDocument *activeCFileOrNotice()
{
    frmDocument *doc = ActiveForm();
    if (!doc)
        shoMsgBox(QStringLiteral("No Open CFile !"), QStringLiteral("Jotrix"), true);
    return doc;
}

QList<frmDocument *> openCFiles()
{
    QList<frmDocument *> docs;
    for (Form *f : forms::loaded())
        if (auto *d = dynamic_cast<frmDocument *>(f); d && d->Tag.contains(QStringLiteral("CFile")))
            docs << d;
    return docs;
}

int16_t numOfCFIles()
{
    int16_t n = 0;
    for (Form *f : forms::loaded())
        if (f->Tag.contains(QStringLiteral("CFile")))
            ++n;
    return n;
}

bool isNewCFile(const QString &name)
{
    if ((name.size() != 6 && name.size() != 7) || !name.startsWith(QStringLiteral("CFile")))
        return false;
    for (qsizetype i = 5; i < name.size(); ++i)
        if (name[i] < u'0' || name[i] > u'9')
            return false;
    return true;
}

int16_t getExtType(const QString &name)
{
    static const char *const exts[] = {".RTF", ".RTF", ".RTF", ".CAP", ".TXT", ".LOG", ".INI", ".BAT"};
    const QString upper = name.toUpper();
    for (int16_t i = 0; i < 8; ++i)
        if (upper.endsWith(QLatin1String(exts[i])))
            return i;
    return name.right(4).contains(u'.') ? 8 : 9;
}

int16_t chkFileExt(const QString &name)
{
    const int16_t t = getExtType(name);
    return t <= 3 ? 0 : t <= 7 ? 1 : t;
}

int rtfTypeOfName(const QString &name)
{
    return name.right(3).compare(QStringLiteral("RTF"), Qt::CaseInsensitive) == 0 ? RichTextBox::rtfRTF
                                                                                  : RichTextBox::rtfText;
}

// --- files -----------------------------------------------------------------

void loadCFile(frmDocument *doc, const QString &path, int fileType)
{
    // A large file shows its progress with a Cancel; the session's end stops
    // the load as a Cancel does, so that the program can close.
    longwork::Scope working;
    std::unique_ptr<QProgressDialog> box;
    auto progress = [&](int percent) {
        if (!box) {
            box = std::make_unique<QProgressDialog>(QStringLiteral("Loading ") + QDir::toNativeSeparators(path),
                                                    QStringLiteral("Cancel"), 0, 100, frmMDI::instance());
            box->setObjectName(QStringLiteral("prgLoadCFile"));
            box->setWindowTitle(QStringLiteral("Vantrell - Loading"));
            box->setAccessibleName(box->windowTitle());
            if (auto *cancel = box->findChild<QPushButton *>())
                cancel->setAccessibleName(QStringLiteral("Cancel"));
            box->setWindowModality(Qt::ApplicationModal);
            box->setMinimumDuration(0);
            box->show();
        }
        box->setValue(percent);
        return !box->wasCanceled() && !longwork::stopRequested();
    };
    doc->rtfText->LoadFile(path, fileType, progress);
    doc->SetCaption(path);
    doc->bChanged = false;
    addMRU(path);
    noticeSkipped(doc, path);
}

void writeCFile(RichTextBox *box, const QString &path, int fileType)
{
    // The box's own save is the one writer of CFiles, rich or plain.
    box->SaveFile(path, fileType);
}

// --- guards ----------------------------------------------------------------

bool hasOpenCFile()
{
    if (ActiveForm())
        return false;
    const int answer = MsgBox(QStringLiteral("There Are No Opened CFiles..!") + kCrLf + QStringLiteral("Create a New CFile.?"),
                              vbYesNo | vbDefaultButton2 | vbSystemModal | vbMsgBoxSetForeground);
    if (answer != vbYes)
        return true;
    CreateNewCFile();
    return ActiveForm() == nullptr;
}

void setActDocFocus()
{
    if (frmDocument *doc = ActiveForm())
        doc->rtfText->setFocus();
    else if (frmMDI *mdi = frmMDI::instance())
        mdi->setFocus();
}

// --- operations --------------------------------------------------------------

void CreateNewCFile() { createCFile(); }

frmDocument *createCFile()
{
    frmDocument *made = nullptr;
    Err.Clear();
    if (!trapErrors([&made] {
            if (CFileSeqNum == std::numeric_limits<int16_t>::max())
                raise(6); // the number would overflow: no window is made
            frmMDI::get();
            auto *doc = new frmDocument();
            ++CFileSeqNum;
            const QString name = QStringLiteral("CFile") + QString::number(CFileSeqNum);
            doc->SetCaption(name);
            doc->Tag = name;
            doc->showInMDI();
            ToolsNbr &tools = nbrTools();
            if (tools.FormatSetDefalt() == 1)
                tools.setDocFrmt();
            if (tools.MargDefalt() == 1)
                tools.setDocMarg();
            if (tools.TabDefalt() == 1)
                tools.setDocTabs();
            setRtfWrap();
            doc->bChanged = false;
            made = doc;
        })) {
        errLoc(QStringLiteral("modCFile/CreateNewCFile"));
        Err.Clear();
    }
    return made;
}

void OpenDocument()
{
    Err.Clear();
    if (!trapErrors([] {
            for (;;) {
                cmDlg.CancelError = true;
                cmDlg.MultiSelect = true;
                cmDlg.DialogTitle = QStringLiteral("Select file(s) to open");
                cmDlg.Filter = CFileFilter;
                cmDlg.FilterIndex = 1;
                cmDlg.ShowOpen();
                const QStringList paths = cmDlg.cFileName;
                const QStringList titles = cmDlg.cFileTitle;
                bool again = false;
                for (qsizetype i = 0; i < paths.size() && !again; ++i) {
                    const QString title = titles.value(i);
                    const int16_t code = chkFileExt(title);
                    if (code == 8 || code == 9) {
                        const QString text = code == 8
                            ? QStringLiteral("File name ''") + title + QStringLiteral("'' has invalid file extension")
                                  + kCrLf + kValidExts
                            : QStringLiteral("File name ''") + title + QStringLiteral("'' has no file extension") + kCrLf;
                        const int answer = MsgBox(text, vbAbortRetryIgnore | vbSystemModal | vbMsgBoxSetForeground);
                        if (answer == vbAbort)
                            return;
                        if (answer == vbRetry)
                            again = true;
                        continue;
                    }
                    CreateNewCFile();
                    frmDocument *doc = ActiveForm();
                    if (!doc)
                        return; // the creation failed and was reported
                    // A file that could not be loaded leaves no empty CFile
                    // window behind; a cancelled load ends the opening quietly.
                    if (!trapErrors([&] { loadCFile(doc, paths[i], code); })) {
                        const ErrObject failure = Err;
                        doc->bChanged = false;
                        doc->unload(vbFormCode);
                        Err = failure;
                        if (Err.Number == 32755) {
                            Err.Clear();
                            return;
                        }
                        raise(Err.Number, Err.Description, Err.Source);
                    }
                }
                if (!again)
                    break;
            }
            ToolsNbr &tools = nbrTools();
            if (frmDocument *doc = ActiveForm(); doc && tools.FormatSetDefalt()) {
                QPalette pal = doc->palette();
                pal.setColor(QPalette::Window, colorFromNumber(tools.FontBackColor()));
                doc->setPalette(pal);
                doc->setAutoFillBackground(true);
            }
            setRtfWrap();
        })) {
        if (Err.Number == 321) {
            MsgBox(Err.Description, kNotice);
            Err.Clear();
        } else {
            reportUnlessCancel(QStringLiteral("modDocument/OpenDocument"));
        }
    }
}

bool SaveCFile(frmDocument *doc)
{
    if (!doc)
        return false;
    const QString name = doc->Caption();
    if (isNewCFile(name))
        return SaveAs(doc);
    bool saved = false;
    Err.Clear();
    if (!trapErrors([&] { saved = writeDoc(doc, name, chkFileExt(name)); }))
        reportUnlessCancel(QStringLiteral("moxCFile-SaveCFile-(") + name + u')');
    return saved;
}

bool SaveAs(frmDocument *doc)
{
    return doc && saveAsDialog(doc, true);
}

bool SaveAll()
{
    const QList<frmDocument *> docs = openCFiles();
    for (qsizetype i = docs.size() - 1; i >= 0; --i) {
        frmDocument *doc = docs[i];
        bool saved = false;
        if (isNewCFile(doc->Caption())) {
            saved = saveAsDialog(doc, false);
        } else {
            const QString name = doc->Caption();
            Err.Clear();
            if (!trapErrors([&] { saved = writeDoc(doc, name, chkFileExt(name)); }))
                reportUnlessCancel(QStringLiteral("modCFile/SaveAll"));
        }
        // A cancelled, refused or failed save ends the walk: that CFile and
        // the ones not yet handled stay open with their changes.
        if (!saved)
            return false;
        doc->bChanged = false;
        doc->unload(vbFormCode);
    }
    return true;
}

void SaveSelectionAs()
{
    frmDocument *doc = ActiveForm();
    if (!doc)
        return;
    Err.Clear();
    if (!trapErrors([&] {
            // The selection travels with its formats; the clipboard keeps it.
            RichTextBox rtfTemp;
            doc->rtfText->Copy();
            rtfTemp.SetTextRTF(doc->rtfText->SelRTF());
            cmDlg.CancelError = true;
            cmDlg.DialogTitle = QStringLiteral("Save Selection As");
            cmDlg.Filter = CFileFilter;
            cmDlg.FilterIndex = 1;
            cmDlg.DefaultFilename = GetFTitle(doc->Caption());
            cmDlg.ShowSave();
            writeCFile(&rtfTemp, cmDlg.cFileName.value(0), rtfTypeOfName(cmDlg.cFileTitle.value(0)));
        }))
        reportUnlessCancel(QStringLiteral("modDocument\\SaveSelectionAs"));
}

void RevertDocument()
{
    frmDocument *doc = ActiveForm();
    if (!doc || isNewCFile(doc->Caption()) || !doc->bChanged)
        return;
    Err.Clear();
    if (!trapErrors([&] {
            shoMsgBox(QStringLiteral("Do you want to revert [") + doc->Caption()
                          + QStringLiteral("] to last saved version ?"),
                      QStringLiteral("Vantrell - Revert"), false);
            if (!frmMDI::bYes)
                return;
            doc->rtfText->LoadFile(doc->Caption(), rtfTypeOfName(doc->Caption()));
            doc->bChanged = false;
            noticeSkipped(doc, doc->Caption());
        }))
        reportUnlessCancel(QStringLiteral("modDocument\\RevertDocument"));
}

bool unloadCFiles(int unloadMode)
{
    const QList<frmDocument *> docs = openCFiles();
    for (qsizetype i = docs.size() - 1; i >= 0; --i)
        if (!docs[i]->unload(unloadMode))
            return false;
    return true;
}

QStringList saveRecoveryCopies(const QString &folder)
{
    QStringList written;
    const QString stamp = now().toString(QStringLiteral("yyyy-MM-dd HHmmss"));
    QDir().mkpath(folder);
    for (frmDocument *doc : openCFiles()) {
        // The same test as the close question: an empty CFile has nothing to lose.
        if (!doc->bChanged || doc->rtfText->Text().isEmpty())
            continue;
        QString base = QFileInfo(doc->Caption()).completeBaseName();
        if (base.isEmpty())
            base = QStringLiteral("CFile");
        // Two CFiles of one name (from different folders) must not overwrite each other.
        QString path = folder + u'/' + base + u' ' + stamp + QStringLiteral(".rtf");
        for (int n = 2; QFileInfo::exists(path) || written.contains(path); ++n)
            path = folder + u'/' + base + u' ' + stamp + QStringLiteral(" (") + QString::number(n) + QStringLiteral(").rtf");
        const ErrObject saved = Err;
        if (trapErrors([&] { writeCFile(doc->rtfText, path, RichTextBox::rtfRTF); })) {
            written << path;
            // The rich-text copy holds it all; the plain one kept while it
            // changed is no longer needed.
            doc->recovery->discard();
        } else {
            std::fprintf(stderr, "vantrell: no recovery copy of %s: %s\n", qPrintable(doc->Caption()),
                         qPrintable(Err.Description));
            // The plain copy kept while it changed is all there is: brought
            // up to date and left for the next start.
            doc->recovery->keep();
        }
        Err = saved;
        // Nobody can answer the close question any more; left set, its
        // default would wait on a save dialog and the program would not end.
        doc->bChanged = false;
    }
    RecoveryCopy::waitWritten();
    return written;
}

// --- selection formats -------------------------------------------------------

namespace {
// Flips one on/off format of the active CFile's selection; a mixed selection
// takes the format.
void toggle(const std::function<std::optional<bool>(const RichTextBox &)> &get,
            const std::function<void(RichTextBox &, bool)> &set)
{
    frmDocument *doc = ActiveForm();
    if (!doc)
        return;
    RichTextBox &box = *doc->rtfText;
    const std::optional<bool> on = get(box);
    set(box, !(on && *on));
    nbrEditor().updFmtButtons();
}

void align(int alignment)
{
    frmDocument *doc = ActiveForm();
    if (!doc)
        return;
    doc->rtfText->SetSelAlignment(alignment);
    nbrEditor().updFmtButtons();
}
} // namespace

void togSelBold()
{
    toggle([](const RichTextBox &b) { return b.SelBold(); }, [](RichTextBox &b, bool on) { b.SetSelBold(on); });
}
void togSelItalic()
{
    toggle([](const RichTextBox &b) { return b.SelItalic(); }, [](RichTextBox &b, bool on) { b.SetSelItalic(on); });
}
void togSelUnderline()
{
    toggle([](const RichTextBox &b) { return b.SelUnderline(); },
           [](RichTextBox &b, bool on) { b.SetSelUnderline(on); });
}
void togSelStrike()
{
    toggle([](const RichTextBox &b) { return b.SelStrikeThru(); },
           [](RichTextBox &b, bool on) { b.SetSelStrikeThru(on); });
}
void setAlignLeft() { align(RichTextBox::rtfLeft); }
void setAlignCenter() { align(RichTextBox::rtfCenter); }
void setAlignRight() { align(RichTextBox::rtfRight); }

void togBullet()
{
    frmDocument *doc = ActiveForm();
    if (!doc)
        return;
    const std::optional<bool> on = doc->rtfText->SelBullet();
    const bool set = !(on && *on);
    doc->rtfText->SetSelBullet(set);
    if (!set)
        doc->rtfText->SetSelHangingIndent(0);
    if (frmMDI *mdi = frmMDI::instance())
        if (QAction *b = toolButton(mdi->tbrFormat, QStringLiteral("Bullet")))
            b->setChecked(set);
}

} // namespace vt
