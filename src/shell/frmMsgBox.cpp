#include "shell/frmMsgBox.h"

#include "platform/answers.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "shell/frmMDI.h"
#include "shell/modApi.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace vt {

namespace {
QRect twipsRect(int l, int t, int w, int h)
{
    return QRect(TwipsToPixels(l), TwipsToPixels(t), TwipsToPixels(w), TwipsToPixels(h));
}
} // namespace

frmMsgBox::frmMsgBox()
    : QDialog(frmMDI::isLoaded() ? frmMDI::get() : nullptr)
{
    setObjectName(QStringLiteral("frmMsgBox"));
    setWindowTitle(QStringLiteral("Vantrell"));
    setFixedSize(TwipsToPixels(6420), TwipsToPixels(1365));
    lblMsg = new QLabel(this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    lblMsg->setGeometry(twipsRect(683, 147, 4575, 975));
    lblMsg->setWordWrap(true);
    lblMsg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto button = [this](const char *name, const char *text, QRect r) {
        auto *b = new QPushButton(QString::fromLatin1(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(r);
        b->setVisible(false);
        b->setAutoDefault(false);
        return b;
    };
    cmdOk = button("cmdOk", "&OK", twipsRect(5325, 150, 975, 320));
    cmdYes = button("cmdYes", "&Yes", twipsRect(5325, 147, 975, 320));
    cmdNo = button("cmdNo", "&No", twipsRect(5325, 522, 975, 320));
    cmdCancel = button("cmdCancel", "&Cancel", twipsRect(5325, 897, 975, 320));
    cmdOk->setDefault(true);
    setTabOrder(cmdOk, cmdYes);
    setTabOrder(cmdYes, cmdNo);
    setTabOrder(cmdNo, cmdCancel);
    connect(cmdYes, &QPushButton::clicked, this, [this] { guarded(QStringLiteral("frmMsgBox/cmdYes_Click"), [this] { cmdYes_Click(); }); });
    connect(cmdNo, &QPushButton::clicked, this, [this] { guarded(QStringLiteral("frmMsgBox/cmdNo_Click"), [this] { cmdNo_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { guarded(QStringLiteral("frmMsgBox/cmdCancel_Click"), [this] { cmdCancel_Click(); }); });
    connect(cmdOk, &QPushButton::clicked, this, [this] { guarded(QStringLiteral("frmMsgBox/cmdOk_Click"), [this] { cmdOk_Click(); }); });
}

frmMsgBox::~frmMsgBox() = default;

void frmMsgBox::Form_Load()
{
    frmMDI::bCancel = false;
    frmMDI::bNo = false;
    frmMDI::bYes = false;
    zapSysClose(this);
    setOnTop(this);
}

void frmMsgBox::Form_Unload(int &)
{
    lblMsg->clear();
    setWindowTitle(QString());
    cmdOk->setVisible(false);
    cmdYes->setVisible(false);
    cmdNo->setVisible(false);
    cmdCancel->setVisible(false);
    if (isVisible())
        done(0);
}

void frmMsgBox::cmdYes_Click() { frmMDI::bYes = true; unload(); }
void frmMsgBox::cmdNo_Click() { frmMDI::bNo = true; unload(); }
void frmMsgBox::cmdCancel_Click() { frmMDI::bCancel = true; unload(); }
void frmMsgBox::cmdOk_Click() { unload(); }

void frmMsgBox::ask(const QString &message, const QString &title, bool okOnly)
{
    if (okOnly) {
        cmdOk->setVisible(true);
    } else {
        cmdCancel->setVisible(true);
        cmdNo->setVisible(true);
        cmdYes->setVisible(true);
    }
    setWindowTitle(title);
    lblMsg->setText(message);

    answers::Question q;
    q.kind = QStringLiteral("box");
    q.title = title;
    q.text = message;
    q.buttons = okOnly ? QStringList{QStringLiteral("OK")}
                       : QStringList{QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("Cancel")};
    q.defaultAnswer = q.buttons.first(); // the first button in tab order has the focus
    QPushButton *focusButton = okOnly ? cmdOk : cmdYes;
    const QString answer = answers::ask(q, [&]() -> QString {
        setWindowModality(Qt::ApplicationModal);
        focusButton->setFocus();
        exec(); // ends when a button unloads the box
        return frmMDI::bYes ? QStringLiteral("Yes") : frmMDI::bNo ? QStringLiteral("No")
             : frmMDI::bCancel ? QStringLiteral("Cancel") : QStringLiteral("OK");
    });
    if (answers::scripted()) {
        QPushButton *b = okOnly ? cmdOk : cmdYes;
        if (!okOnly) {
            if (answer.compare(QStringLiteral("No"), Qt::CaseInsensitive) == 0)
                b = cmdNo;
            else if (answer.compare(QStringLiteral("Cancel"), Qt::CaseInsensitive) == 0)
                b = cmdCancel;
        }
        b->click();
    }
}

void frmMsgBox::closeEvent(QCloseEvent *e)
{
    // Only the buttons close this box.
    if (isUnloading())
        e->accept();
    else
        e->ignore();
}

void frmMsgBox::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape)
        return;
    // The buttons take no Enter of their own (none is auto-default), and the
    // dialog's default button, OK, is hidden while Yes, No and Cancel show:
    // Enter would do nothing. It presses the focused button, else the first
    // one shown, as the question's default.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        auto *focused = qobject_cast<QPushButton *>(focusWidget());
        QPushButton *target = nullptr;
        for (QPushButton *b : {cmdOk, cmdYes, cmdNo, cmdCancel}) {
            if (!b->isVisibleTo(this))
                continue;
            if (b == focused) {
                target = b;
                break;
            }
            if (!target)
                target = b;
        }
        if (target) {
            target->click();
            return;
        }
    }
    QDialog::keyPressEvent(e);
}

} // namespace vt
