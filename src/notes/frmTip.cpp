#include "notes/frmTip.h"

#include <QCloseEvent>

namespace vt {

frmTip::frmTip()
    : SupportWindow("Tip")
{
    setObjectName(QStringLiteral("frmTip"));
    setWindowTitle(QStringLiteral("rUvuzu"));
    setWindowFlag(Qt::Window);
}

frmTip::~frmTip() = default;

void frmTip::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmTip::lodTip() {}

void frmTip::extTip(int cancel) { (void)cancel; }

} // namespace vt
