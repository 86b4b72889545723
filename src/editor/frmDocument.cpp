#include "editor/frmDocument.h"

#include <algorithm>

#include "editor/modCapFmt.h"
#include "editor/modDocument.h"
#include "editor/modEditCommands.h"
#include "editor/modEditorNbr.h"
#include "editor/modMDIView.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/keys.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/settings.h"
#include "shell/frmMDI.h"
#include "shell/modErrMsgs.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modRecovery.h"
#include "shell/modStartNbrs.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>

namespace vt {

namespace {
const QString kSection = QStringLiteral("CFile");
const QString kStateKey = QStringLiteral("CFileState");

QString where(const char *handler) { return QStringLiteral("frmDocument/") + QString::fromLatin1(handler); }
} // namespace

frmDocument::frmDocument()
{
    setObjectName(QStringLiteral("frmDocument"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    rtfText = new RichTextBox(this);
    rtfText->setObjectName(QStringLiteral("rtfText"));
    rtfText->setFont(QFont(QStringLiteral("Tahoma"), 9));
    rtfText->move(0, 0);
    installCommandKeys(rtfText);
    setMinimumSize(120, 60);
    resize(480, 320);

    connect(rtfText, &RichTextBox::Change, this, [this] { guarded(where("rtfText_Change"), [this] { rtfText_Change(); }); });
    connect(rtfText, &RichTextBox::Click, this, [this] { guarded(where("rtfText_Click"), [this] { rtfText_Click(); }); });
    connect(rtfText, &RichTextBox::SelChange, this,
            [this] { guarded(where("rtfText_SelChange"), [this] { rtfText_SelChange(); }); });
    connect(rtfText, &RichTextBox::KeyDown, this, [this](int &keyCode, int shift) {
        guarded(where("rtfText_KeyDown"), [&] { rtfText_KeyDown(keyCode, shift); });
    });
    connect(rtfText, &RichTextBox::KeyPress, this, [this](int &keyAscii) {
        guarded(where("rtfText_KeyPress"), [&] { rtfText_KeyPress(keyAscii); });
    });
    connect(rtfText, &RichTextBox::MouseDown, this, [this](int button, int shift, int x, int y) {
        guarded(where("rtfText_MouseDown"), [&] { rtfText_MouseDown(button, shift, x, y); });
    });

    recovery = new RecoveryCopy(
        rtfText->document(), [this] { return Caption(); }, [this] { return bChanged; }, this);

    registerLoaded();
    Form_Load();
}

frmDocument::~frmDocument()
{
    // Nothing of this window may answer the box's or the area's signals while
    // it is being taken apart.
    rtfText->disconnect(this);
    if (frmMDI *mdi = frmMDI::instance(); mdi && mdi->mdiArea)
        mdi->mdiArea->disconnect(this);
}

void frmDocument::Form_Load()
{
    Form_Resize();
    bChanged = false;
    loadState_ = GetSettingInt(AppTitle, kSection, kStateKey, 0);
    if (loadState_ < 0 || loadState_ > 2)
        loadState_ = 0;
    nbrEditor().setFgsMDI();
}

void frmDocument::showInMDI()
{
    frmMDI *mdi = frmMDI::get();
    sub_ = mdi->mdiArea->addSubWindow(this);
    sub_->setObjectName(QStringLiteral("subDocument"));
    connect(mdi->mdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *w) {
        if (w && w == sub_)
            guarded(where("Form_Activate"), [this] { Form_Activate(); });
    });
    if (loadState_ == 2)
        sub_->showMaximized();
    else if (loadState_ == 1)
        sub_->showMinimized();
    else {
        sub_->show();
        sub_->resize(sub_->sizeHint());
    }
    mdi->mdiArea->setActiveSubWindow(sub_);
}

void frmDocument::SetCaption(const QString &caption)
{
    setWindowTitle(caption);
    showTitle();
    // The panel's lists name the CFiles by their captions.
    nbrRemote().RefreshCFile();
}

void frmDocument::setShotMark(bool on)
{
    if (shotMark_ == on)
        return;
    shotMark_ = on;
    showTitle();
}

void frmDocument::showTitle()
{
    if (sub_)
        sub_->setWindowTitle(shotMark_ ? windowTitle() + kShotMark : windowTitle());
}

QSize frmDocument::sizeHint() const
{
    // The area cascades its windows at their size hints; without one the
    // frame falls back to the window's minimum size and the CFile shrinks to
    // a sliver.
    QSize area(640, 480);
    if (sub_ && sub_->mdiArea())
        area = sub_->mdiArea()->viewport()->size();
    else if (frmMDI *mdi = frmMDI::instance(); mdi && mdi->mdiArea)
        area = mdi->mdiArea->viewport()->size();
    QSize want(std::max(area.width() * 3 / 4, 420), std::max(area.height() * 3 / 4, 300));
    // The hint is for the document inside the frame; the frame adds its title
    // bar and borders, and the whole must still fit the area.
    if (sub_) {
        const QSize frame = (sub_->size() - size()).expandedTo(QSize(0, 0));
        want = want.boundedTo(area - frame);
    }
    return want.expandedTo(minimumSize());
}

int frmDocument::WindowState() const
{
    if (!sub_)
        return loadState_;
    return sub_->isMinimized() ? 1 : sub_->isMaximized() ? 2 : 0;
}

void frmDocument::Form_Activate()
{
    // A CFile made, opened or brought forward is the one the panel's lists
    // mark, from start-up on.
    nbrRemote().RefreshCFile();
    nbrEditor().setFgsMDI();
    nbrEditor().updFgsMDI();
    seeLineCnt(rtfText);
}

void frmDocument::Form_Resize()
{
    // The box keeps its place; only its size follows the window. A window too
    // small for the margins leaves it as it was.
    const int w = width() - TwipsToPixels(120);
    const int h = height() - TwipsToPixels(380);
    if (w > 0 && h > 0)
        rtfText->resize(w, h);
}

void frmDocument::Form_Unload(int &cancel)
{
    EditorNbr &ed = nbrEditor();
    if (!rtfText->Text().isEmpty() && bChanged) {
        shoMsgBox(QStringLiteral("File ") + Caption() + QStringLiteral(" has changed !\r\nSave changes ?"),
                  QStringLiteral("Vantrell"), false);
        // Only a save that was written lets the close go on: a cancelled
        // dialog, a refused name or a failed write keep the window and its
        // changes.
        const bool keep = frmMDI::bCancel || (frmMDI::bYes && !SaveCFile(this));
        if (keep) {
            cancel = 1;
            ed.setFgsMDI();
            return;
        }
    }
    // Saved, or its changes dropped: nothing is left to recover.
    recovery->discard();
    ed.updFgsMDI();
    ed.zapFgsMDI();
    if (WindowState() != 1)
        SaveSetting(AppTitle, kSection, kStateKey, QString::number(WindowState()));
    // The frame goes with the document, so the area's active child is never a
    // closed CFile.
    if (sub_) {
        if (QMdiArea *area = sub_->mdiArea())
            area->removeSubWindow(sub_);
        sub_->deleteLater();
    }
    // Shots no longer come here; the refresh that follows gives them to the
    // CFile active now and moves the marks.
    if (shotCFile() == this)
        setShotCFile(nullptr);
    nbrRemote().RefreshCFile();
    nbrChrono().cfileClosed(Caption());
}

void frmDocument::Form_Click()
{
    nbrRemote().RefreshCFile();
    nbrTools().badFocus();
}

void frmDocument::rtfText_Change()
{
    // The box reports the moved caret before the change, so the refresh that
    // followed it still saw the CFile unchanged: "Set2Cl&ean" needs one more
    // when the flag turns on.
    if (bChanged)
        return;
    bChanged = true;
    nbrEditor().updFgsMDI();
}

void frmDocument::rtfText_Click()
{
    trapErrors([this] {
        nbrRemote().RefreshCFile();
        nbrTools().saxDocFmt();
        frmMDI *mdi = frmMDI::instance();
        if (!mdi)
            return;
        if (const auto size = rtfText->SelFontSize())
            mdi->cboFontSize->setEditText(QString::number(*size));
        if (const auto name = rtfText->SelFontName())
            mdi->cboFontName->setEditText(*name);
        QPalette pal = mdi->txtFontColors->palette();
        if (const auto color = rtfText->SelColor())
            pal.setColor(QPalette::Text, *color);
        pal.setColor(QPalette::Base, rtfText->BackColor());
        mdi->txtFontColors->setPalette(pal);
    });
    Err.Clear();
}

void frmDocument::rtfText_KeyDown(int &keyCode, int shift)
{
    if (SoftEdit)
        return;
    const int16_t code = keyCodeOf(keyCode);
    if (shift == 0) {
        switch (code) {
        case vbKeyF1: nbrNotes().seeMsgNote(3, 0); keyCode = 0; return;
        case vbKeyF2: nbrNotes().seeMsgNote(3, 1); keyCode = 0; return;
        case vbKeyF4: nbrRemote().seeZOvuFra(2); keyCode = 0; return;
        case vbKeyF5: nbrRemote().seeZOvuFra(1); keyCode = 0; return;
        default: break;
        }
    }
    if (RxRoute[1] && code != 0) {
        int16_t kc = code;
        int16_t sh = int16_t(shift);
        keyPadCode(kc, sh);
        if (kc == 0)
            keyCode = 0;
    }
}

void frmDocument::rtfText_KeyPress(int &keyAscii)
{
    nbrEditor().updFgsMDI();
    seeLineCnt(rtfText);
    if (RxRoute[1] && !SoftEdit) {
        int16_t k = int16_t(keyAscii);
        const bool portOpen = nbrSerial().putTrmChr(k);
        keyAscii = k;
        // The chronograph's echo lands after the last line.
        if (portOpen)
            rtfText->SetSelStart(rtfText->TextLength());
    }
}

namespace {
QPointer<frmDocument> &popupOwner()
{
    static QPointer<frmDocument> owner;
    return owner;
}
} // namespace

frmDocument *frmDocument::popupCFile() { return popupOwner().data(); }

void frmDocument::rtfText_MouseDown(int button, int, int x, int y)
{
    if (button == RichTextBox::vbRightButton)
        if (frmMDI *mdi = frmMDI::instance(); mdi && mdi->popMain) {
            popupOwner() = this;
            mdi->popMain->popup(rtfText->mapToGlobal(QPoint(x, y)));
        }
    nbrEditor().updFgsMDI();
}

void frmDocument::rtfText_SelChange()
{
    nbrEditor().updFgsMDI();
    seeLineCnt(rtfText);
}

void frmDocument::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmDocument::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    trapErrors([this] { Form_Resize(); });
    Err.Clear();
}

void frmDocument::mousePressEvent(QMouseEvent *e)
{
    QWidget::mousePressEvent(e);
    guarded(where("Form_Click"), [this] { Form_Click(); });
}

} // namespace vt
