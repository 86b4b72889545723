#include "serial/frmTermStat.h"

#include "platform/errors.h"
#include "serial/frmTerminal.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>
#include <QListWidget>
#include <QVBoxLayout>

namespace vt {

frmTermStat::frmTermStat()
{
    setObjectName(QStringLiteral("frmTermStat"));
    setWindowTitle(QStringLiteral("zEzede Statistics"));
    setWindowFlag(Qt::Window);
    auto *lay = new QVBoxLayout(this);
    lblCounts = new QLabel(this);
    lblCounts->setObjectName(QStringLiteral("lblCounts"));
    lblCounts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lay->addWidget(lblCounts);
    lstStatus = new QListWidget(this);
    lstStatus->setObjectName(QStringLiteral("lstStatus"));
    lstStatus->setAccessibleName(QStringLiteral("Line events"));
    lay->addWidget(lstStatus);
    // The counters change with every chunk; twice a second is enough to read them.
    tmrRefresh = new QTimer(this);
    tmrRefresh->setInterval(500);
    connect(tmrRefresh, &QTimer::timeout, this,
            [this] { guarded(QStringLiteral("frmTermStat/tmrRefresh_Timer"), [this] { refreshCounts(); }); });
    resize(320, 300);
}

frmTermStat::~frmTermStat() { tmrRefresh->stop(); }

void frmTermStat::refreshCounts()
{
    const frmTerminal *t = frmTerminal::instance();
    if (!t) {
        lblCounts->setText(QStringLiteral("The terminal is not loaded."));
        return;
    }
    lblCounts->setText(QStringLiteral("Received bytes: %1\nReceived lines: %2\nEvents: %3\nErrors: %4\n"
                                      "Sent bytes: %5\nSent lines: %6")
                           .arg(t->RxBytes)
                           .arg(t->RxLines)
                           .arg(t->RxMesgs)
                           .arg(t->RxError)
                           .arg(t->TxBytes)
                           .arg(t->TxLines));
}

void frmTermStat::showEvent(QShowEvent *e)
{
    refreshCounts();
    tmrRefresh->start();
    QWidget::showEvent(e);
}

void frmTermStat::hideEvent(QHideEvent *e)
{
    tmrRefresh->stop();
    QWidget::hideEvent(e);
}

void frmTermStat::Form_QueryUnload(int &cancel, int unloadMode)
{
    if (unloadMode == vbFormControlMenu) {
        hide();
        cancel = 1;
    }
}

void frmTermStat::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmTermStat::LogStatus(bool isErr, const QString &text)
{
    lstStatus->addItem(isErr ? QStringLiteral("Error: ") + text : text);
    lstStatus->scrollToBottom();
}

} // namespace vt
