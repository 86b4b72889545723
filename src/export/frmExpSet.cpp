#include "export/frmExpSet.h"

namespace vt {

frmExpSet::frmExpSet()
    : SupportWindow("ExpSet")
{
    setObjectName(QStringLiteral("frmExpSet"));
    setWindowTitle(QStringLiteral("Export Setup"));
}

frmExpSet::~frmExpSet() = default;

} // namespace vt
