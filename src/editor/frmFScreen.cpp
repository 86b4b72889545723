#include "editor/frmFScreen.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "editor/modEditCommands.h"
#include "editor/modToolbars.h"
#include "platform/errors.h"
#include "platform/richtext.h"
#include "shell/frmMDI.h"
#include "shell/modApi.h"
#include "shell/modErrMsgs.h"
#include "shell/modNeighbours.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace vt {

// --- the view ----------------------------------------------------------------

frmFScreen::frmFScreen() : QWidget(frmMDI::instance(), Qt::Window)
{
    setObjectName(QStringLiteral("frmFScreen"));
    setWindowTitle(QStringLiteral("XView"));
    FSRTB = new RichTextBox(this);
    FSRTB->setObjectName(QStringLiteral("FSRTB"));
    FSRTB->setAccessibleName(QStringLiteral("Full Screen"));
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(FSRTB);
    connect(FSRTB, &RichTextBox::Change, this,
            [this] { guarded(QStringLiteral("frmFScreen/FSRTB_Change"), [this] { FSRTB_Change(); }); });
}

frmFScreen::~frmFScreen() { disconnect(FSRTB, nullptr, this, nullptr); }

void frmFScreen::Form_Load()
{
    Form_Resize();
    FSRTB->SetSelStart(0);
    frmFScreenB *b = frmFScreenB::get();
    b->show();
    b->raise();
}

void frmFScreen::Form_Resize()
{
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (s)
        setGeometry(s->geometry());
}

void frmFScreen::FSRTB_Change()
{
    FsChanged = true;
    if (!filling_)
        userEdited_ = true;
}

void frmFScreen::fillFrom(frmDocument *doc)
{
    source_ = doc;
    sourceText_ = doc->rtfText->Text();
    filling_ = true;
    try {
        FSRTB->SetTextRTF(doc->rtfText->TextRTF());
    } catch (...) {
        filling_ = false;
        throw;
    }
    filling_ = false;
    userEdited_ = false;
    FSRTB->SetSelStart(0);
}

void frmFScreen::Form_Unload(int &cancel)
{
    (void)cancel;
    if (frmFScreenB::isLoaded())
        frmFScreenB::instance()->unload();
    // The view's text goes to the clipboard, as the CFile's went there at
    // opening; the CFile itself is written directly, so that a clipboard
    // that failed or was taken by another program can never empty it.
    FSRTB->SetSelStart(0);
    FSRTB->SetSelLength(FSRTB->TextLength());
    FSRTB->Copy();

    frmDocument *doc = source_;
    if (!doc)
        return; // the CFile was closed while the view was open
    RichTextBox *box = doc->rtfText;
    if (FsChanged && userEdited_) {
        const QByteArray content = FSRTB->TextRTF();
        const QString now = box->Text();
        if (now.startsWith(sourceText_) && now.size() > sourceText_.size()) {
            // Shots arrived at the CFile's end while the view was open: the
            // view's text takes the place of what the CFile held at opening,
            // and the shots stay behind it.
            box->SetSelStart(0);
            box->SetSelLength(sourceText_.size());
            box->SetSelRTF(content);
        } else {
            box->SetTextRTF(content);
        }
    }
    FSRTB->SetText(QString());
    box->SetSelStart(0);
    doc->bChanged = true;
}

void frmFScreen::closeEvent(QCloseEvent *e) { handleClose(e); }

// --- the button bar -----------------------------------------------------------

frmFScreenB::frmFScreenB()
    : QWidget(frmFScreen::instance(), Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmFScreenB"));
    setWindowTitle(QStringLiteral("   XView"));
    cmdRemote = new QPushButton(QStringLiteral("Remote"), this);
    cmdRemote->setObjectName(QStringLiteral("cmdRemote"));
    cmdRemote->setStyleSheet(QStringLiteral("background-color: #00FF00; color: black;"));
    cmdScreenClose = new QPushButton(QStringLiteral("Close"), this);
    cmdScreenClose->setObjectName(QStringLiteral("cmdScreenClose"));
    cmdScreenClose->setStyleSheet(QStringLiteral("background-color: #FF0000; color: black;"));
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(3, 3, 3, 3);
    lay->addWidget(cmdRemote);
    lay->addWidget(cmdScreenClose);
    connect(cmdRemote, &QPushButton::clicked, this,
            [this] { guarded(QStringLiteral("frmFScreenB/cmdRemote_Click"), [this] { cmdRemote_Click(); }); });
    connect(cmdScreenClose, &QPushButton::clicked, this, [this] {
        guarded(QStringLiteral("frmFScreenB/cmdScreenClose_Click"), [this] { cmdScreenClose_Click(); });
    });
}

frmFScreenB::~frmFScreenB()
{
    disconnect(cmdRemote, nullptr, this, nullptr);
    disconnect(cmdScreenClose, nullptr, this, nullptr);
}

void frmFScreenB::Form_Load()
{
    setOnTop(this);
    adjustSize();
    if (const QScreen *s = QGuiApplication::primaryScreen()) {
        const QRect r = s->geometry();
        move(r.x() + (r.width() - width()) / 2, r.y() + (r.height() - height()) / 2);
    }
    zapSysClose(this);
}

void frmFScreenB::Form_Unload(int &cancel)
{
    (void)cancel;
    setNotOnTop(this);
}

// The keypad panel, modeless: the view stays open and usable beside it.
void frmFScreenB::cmdRemote_Click() { nbrRemote().showKeyPad(); }

void frmFScreenB::cmdScreenClose_Click()
{
    unload();
    if (frmFScreen::isLoaded())
        frmFScreen::instance()->unload();
}

void frmFScreenB::closeEvent(QCloseEvent *e) { handleClose(e); }

// --- the main window's command --------------------------------------------------

void mnuViewFullScreen_Click()
{
    frmDocument *doc = activeCFileOrNotice();
    if (!doc)
        return;
    // A view already open belongs to a CFile of its own: it is written back
    // before the view shows the new one.
    if (frmFScreen::isLoaded() && !frmFScreen::instance()->unload())
        return;
    mnuEditSelectAll_Click();
    doc->rtfText->Copy();
    frmFScreen *view = frmFScreen::get();
    view->fillFrom(doc);
    view->show();
    view->raise();
    view->activateWindow();
    view->FSRTB->SetSelStart(0);
    if (frmFScreenB::isLoaded())
        frmFScreenB::instance()->raise();
}

} // namespace vt
