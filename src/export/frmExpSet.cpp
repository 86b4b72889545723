#include "export/frmExpSet.h"

#include <QCloseEvent>

namespace vt {

frmExpSet::frmExpSet()
    : SupportWindow("ExpSet")
{
    setObjectName(QStringLiteral("frmExpSet"));
    setWindowTitle(QStringLiteral("Export Setup"));
    setWindowFlag(Qt::Window);
}

frmExpSet::~frmExpSet() = default;

void frmExpSet::closeEvent(QCloseEvent *e) { handleClose(e); }

} // namespace vt
