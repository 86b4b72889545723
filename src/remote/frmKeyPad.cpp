#include "remote/frmKeyPad.h"

#include "platform/errors.h"
#include "shell/frmMDI.h"
#include "shell/modApi.h"
#include "shell/modNeighbours.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vt {

QString keyPadLcdText(const QString &received, int lines)
{
    QString text = received;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    QStringList rows = text.split(u'\n');
    while (!rows.isEmpty() && rows.last().isEmpty())
        rows.removeLast();
    return rows.mid(std::max<qsizetype>(0, rows.size() - lines)).join(u'\n');
}

frmKeyPad::frmKeyPad()
    : SupportWindow("KeyPad")
{
    setObjectName(QStringLiteral("frmKeyPad"));
    setWindowTitle(QStringLiteral("zOvu Keypad"));
    setWindowFlag(Qt::Window);
    auto *box = new QVBoxLayout(this);
    txtKeyPadLcd = new QPlainTextEdit(this);
    txtKeyPadLcd->setObjectName(QStringLiteral("txtKeyPadLcd"));
    txtKeyPadLcd->setAccessibleName(QStringLiteral("Display"));
    txtKeyPadLcd->setReadOnly(true);
    txtKeyPadLcd->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtKeyPadLcd->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->addWidget(txtKeyPadLcd);
    cmdKeyPadClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdKeyPadClose->setObjectName(QStringLiteral("cmdKeyPadClose"));
    cmdKeyPadClose->setAccessibleName(QStringLiteral("Close"));
    box->addWidget(cmdKeyPadClose);
    connect(cmdKeyPadClose, &QPushButton::clicked, this,
            [this] { guarded(QStringLiteral("frmKeyPad-cmdKeyPadClose_Click"), [this] { cmdKeyPadClose_Click(); }); });
    resize(320, 180);
}

void frmKeyPad::showKeyPad()
{
    keyPadOn = true;
    seeKeyPadLcd();
    show();
    raise();
    setOnTop(this);
}

void frmKeyPad::cmdKeyPadClose_Click()
{
    hide();
    keyPadOn = false;
    if (frmMDI::isLoaded())
        frmMDI::instance()->setEnabled(true);
}

void frmKeyPad::Form_QueryUnload(int &cancel, int unloadMode)
{
    if (unloadMode == vbFormControlMenu) {
        cancel = 1;
        cmdKeyPadClose_Click();
    }
}

void frmKeyPad::seeKeyPadLcd()
{
    txtKeyPadLcd->setPlainText(keyPadLcdText(nbrSerial().termText().right(2000), kLcdLines));
}

void frmKeyPad::closeEvent(QCloseEvent *e) { handleClose(e); }

} // namespace vt
