#include "serial/frmProperties.h"

#include "platform/conversions.h"

namespace vt {

frmProperties::frmProperties()
    : SupportWindow("Properties")
{
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(QStringLiteral("CSetup"));
    resize(TwipsToPixels(6600), TwipsToPixels(4800));
}

frmProperties::~frmProperties() = default;

void frmProperties::lodProperties() {}

void frmProperties::extProperties(int cancel) { (void)cancel; }

} // namespace vt
