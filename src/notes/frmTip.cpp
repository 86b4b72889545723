#include "notes/frmTip.h"

namespace vt {

frmTip::frmTip()
    : SupportWindow("Tip")
{
    setObjectName(QStringLiteral("frmTip"));
    setWindowTitle(QStringLiteral("rUvuzu"));
}

frmTip::~frmTip() = default;

void frmTip::lodTip() {}

void frmTip::extTip(int cancel) { (void)cancel; }

} // namespace vt
