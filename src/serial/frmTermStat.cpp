#include "serial/frmTermStat.h"

#include <QCloseEvent>
#include <QListWidget>
#include <QVBoxLayout>

namespace vt {

frmTermStat::frmTermStat()
{
    setObjectName(QStringLiteral("frmTermStat"));
    setWindowTitle(QStringLiteral("zEzede Statistics"));
    setWindowFlag(Qt::Window);
    auto *lay = new QVBoxLayout(this);
    lstStatus = new QListWidget(this);
    lstStatus->setObjectName(QStringLiteral("lstStatus"));
    lay->addWidget(lstStatus);
}

frmTermStat::~frmTermStat() = default;

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
