#include "remote/frmKeyPad.h"

#include "platform/errors.h"
#include "remote/frmRemCtr.h"
#include "shell/frmMDI.h"
#include "shell/modApi.h"
#include "shell/modNeighbours.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <functional>

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

    auto *grid = new QGridLayout;
    auto key = [this](const QString &objName, const QString &caption, const std::function<void(frmRemCtr *)> &fn) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(objName);
        b->setAccessibleName(caption);
        const QString where = QStringLiteral("frmKeyPad-") + objName + QStringLiteral("_Click");
        connect(b, &QPushButton::clicked, this, [where, fn] { guarded(where, [&fn] { fn(frmRemCtr::get()); }); });
        return b;
    };
    static_assert(sizeof(cmdWaitKey) / sizeof(cmdWaitKey[0]) == frmRemCtr::kWaitKeyRows);
    for (int r = 0; r < frmRemCtr::kWaitKeyRows; ++r) {
        cmdWaitKey[r] = key(frmRemCtr::waitKeyName(r), frmRemCtr::waitKeyCaption(r),
                            [r](frmRemCtr *p) { p->sndWaitKey(r); });
        // Steps two a row; the deletes and undeletes three.
        if (r < 8)
            grid->addWidget(cmdWaitKey[r], r / 2, r % 2);
        else
            grid->addWidget(cmdWaitKey[r], 4 + (r - 8) / 3, (r - 8) % 3);
    }
    static const char *const modes[3] = {"Data", "Stats", "Menu"};
    for (int i = 0; i < 3; ++i) {
        cmdCroMode[i] = key(QStringLiteral("cmdCroMode") + QString::number(i), QString::fromLatin1(modes[i]),
                            [i](frmRemCtr *p) { p->cmdCroMode_Click(i); });
        grid->addWidget(cmdCroMode[i], 6, i);
    }
    cmdKeyEsc = key(QStringLiteral("cmdKeyEsc"), QStringLiteral("Esc"), [](frmRemCtr *p) { p->cmdKeyEsc_Click(); });
    grid->addWidget(cmdKeyEsc, 7, 0);
    box->addLayout(grid);
    cmdKeyPadClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdKeyPadClose->setObjectName(QStringLiteral("cmdKeyPadClose"));
    cmdKeyPadClose->setAccessibleName(QStringLiteral("Close"));
    box->addWidget(cmdKeyPadClose);
    connect(cmdKeyPadClose, &QPushButton::clicked, this,
            [this] { guarded(QStringLiteral("frmKeyPad-cmdKeyPadClose_Click"), [this] { cmdKeyPadClose_Click(); }); });
    resize(320, 360);
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
