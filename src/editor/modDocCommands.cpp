#include "editor/modDocCommands.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "editor/modMRU.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "shell/frmMDI.h"
#include "shell/modErrMsgs.h"
#include "shell/modFileOperations.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"

#include <QAction>
#include <QMdiArea>
#include <QMenu>

namespace vt {

namespace {

const QString kJotrix = QStringLiteral("Jotrix");

void noCFile(const QString &text) { shoMsgBox(text, kJotrix, true); }

// New and Open share their gate: a further CFile may be refused, and the
// first one made after start-up beside the start-up CFile cascades them.
void newOrOpen(void (*make)())
{
    if (ActiveForm()) {
        if (!okNewCFile())
            return;
        if (FirstFileCmd) {
            if (frmMDI *mdi = frmMDI::instance())
                mdi->mdiArea->cascadeSubWindows();
            FirstFileCmd = false;
        }
    }
    make();
    nbrRemote().RefreshCFile();
}

} // namespace

bool okNewCFile()
{
    if (numOfCFIles() > 99) {
        nbrNotes().seeMsgNote(1, 0);
        return false;
    }
    if (ShowWarnKT)
        return nbrNotes().askMsgNote(1, 0) == vbYes;
    return true;
}

void mnuFileNew_Click() { newOrOpen(&CreateNewCFile); }
void mnuFileOpen_Click() { newOrOpen(&OpenDocument); }

void mnuFileClose_Click()
{
    frmDocument *doc = ActiveForm();
    if (!doc) {
        noCFile(QStringLiteral("No Open CFile !"));
        return;
    }
    doc->unload(vbFormCode);
    nbrRemote().RefreshCFile();
}

void mnuFileCloseAll_Click()
{
    if (!ActiveForm()) {
        noCFile(QStringLiteral("No open CFiles!..."));
        return;
    }
    // Each CFile asks its own question; a Cancel keeps that one and the walk
    // goes on.
    const QList<frmDocument *> docs = openCFiles();
    for (qsizetype i = docs.size() - 1; i >= 0; --i)
        docs[i]->unload(vbFormCode);
    nbrRemote().RefreshCFile();
}

void mnuFileSave_Click()
{
    if (frmDocument *doc = ActiveForm())
        SaveCFile(doc);
    else
        noCFile(QStringLiteral("No Open CFile !"));
}

void mnuFileSaveAs_Click()
{
    frmDocument *doc = ActiveForm();
    if (!doc) {
        noCFile(QStringLiteral("No Open CFiles !"));
        return;
    }
    SaveAs(doc);
    nbrRemote().RefreshCFile();
}

void mnuFileSaveAll_Click()
{
    if (ActiveForm())
        SaveAll();
    else
        noCFile(QStringLiteral("No Open CFile !"));
}

void mnuFileSaveSelectionAs_Click()
{
    if (ActiveForm())
        SaveSelectionAs();
    else
        noCFile(QStringLiteral("No Open CFile !"));
}

void mnuFileRevert_Click()
{
    if (ActiveForm())
        RevertDocument();
    else
        noCFile(QStringLiteral("No Open CFile !"));
}

void mnuFileMRUItem_Click(int index)
{
    Err.Clear();
    if (!trapErrors([index] {
            const QString path = MRUFiles().value(index);
            if (path.isEmpty() || !filExist(path)) {
                shoMsgBox(QStringLiteral("File doesn't exists!"), kJotrix + QStringLiteral(" - MRUItem"), true);
                return;
            }
            CreateNewCFile();
            if (frmDocument *doc = ActiveForm())
                loadCFile(doc, path, rtfTypeOfName(path));
        })) {
        errLoc(QStringLiteral("frmMDI\\mnuFileMRUItem_Click"));
        Err.Clear();
    }
}

void mnuFileExit_Click()
{
    if (frmMDI *mdi = frmMDI::instance())
        mdi->unload(vbFormCode);
}

void mnuCFileReSeq_Click()
{
    if (!ActiveForm()) {
        CFileSeqNum = 0;
        return;
    }
    const QString crlf = QStringLiteral("\r\n");
    const int answer = MsgBox(QStringLiteral("Current sequence number is ") + QString::number(CFileSeqNum + 1) + crlf
                                  + crlf + QStringLiteral("There are active CFiles present.!") + crlf
                                  + QStringLiteral("Reset Sequence Number Anyway...?  "),
                              vbYesNo | vbDefaultButton2 | vbSystemModal | vbMsgBoxSetForeground);
    if (answer == vbYes)
        CFileSeqNum = 0;
}

void wireDocumentCommands(frmMDI *mdi)
{
    if (!mdi)
        return;
    auto wire = [mdi](QAction *item, void (*handler)()) {
        if (!item)
            return;
        const QString where = QStringLiteral("frmMDI/") + item->objectName() + QStringLiteral("_Click");
        QObject::connect(item, &QAction::triggered, mdi, [handler, where] { guarded(where, handler); });
    };
    wire(mdi->mnuFileNew, &mnuFileNew_Click);
    wire(mdi->mnuFileOpen, &mnuFileOpen_Click);
    wire(mdi->mnuFileClose, &mnuFileClose_Click);
    wire(mdi->mnuFileCloseAll, &mnuFileCloseAll_Click);
    wire(mdi->mnuFileSave, &mnuFileSave_Click);
    wire(mdi->mnuFileSaveAs, &mnuFileSaveAs_Click);
    wire(mdi->mnuFileSaveAll, &mnuFileSaveAll_Click);
    wire(mdi->mnuFileSaveSelectionAs, &mnuFileSaveSelectionAs_Click);
    wire(mdi->mnuFileRevert, &mnuFileRevert_Click);
    wire(mdi->mnuFileExit, &mnuFileExit_Click);
    wire(mdi->mnuCFileReSeq, &mnuCFileReSeq_Click);

    // The recent files stand above Exit.
    QAction *before = mdi->mnuFileExit;
    for (int i = 0; i < kMRUCount; ++i) {
        auto *item = new QAction(mdi->mnuFile);
        item->setObjectName(QStringLiteral("mnuFileMRUItem"));
        item->setProperty("Index", i);
        item->setVisible(false);
        mdi->mnuFile->insertAction(before, item);
        QObject::connect(item, &QAction::triggered, mdi, [i] {
            guarded(QStringLiteral("frmMDI/mnuFileMRUItem_Click"), [i] { mnuFileMRUItem_Click(i); });
        });
    }
    mdi->mnuFile->insertSeparator(before);
    showMRU();
}

} // namespace vt
