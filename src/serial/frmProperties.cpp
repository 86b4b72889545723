#include "serial/frmProperties.h"

#include "platform/conversions.h"

#include <QCloseEvent>

namespace vt {

frmProperties::frmProperties()
    : SupportWindow("Properties")
{
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(QStringLiteral("CSetup"));
    setWindowFlag(Qt::Window);
    resize(TwipsToPixels(6600), TwipsToPixels(4800));
}

frmProperties::~frmProperties() = default;

void frmProperties::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmProperties::lodProperties() {}

void frmProperties::extProperties(int cancel) { (void)cancel; }

} // namespace vt
