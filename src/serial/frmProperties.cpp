#include "serial/frmProperties.h"

#include "platform/conversions.h"
#include "shell/modBusy.h"

#include <QCloseEvent>

namespace vt {

frmProperties::frmProperties()
{
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(QStringLiteral("CSetup"));
    setWindowFlag(Qt::Window);
    resize(TwipsToPixels(6600), TwipsToPixels(4800));
}

frmProperties::~frmProperties() = default;

void frmProperties::Form_Load() { trkForm(0, "Properties"); }

void frmProperties::Form_QueryUnload(int &cancel, int unloadMode)
{
    // The window lives for the whole run: the user's close only hides it.
    if (unloadMode == vbFormControlMenu) {
        hide();
        cancel = 1;
    }
}

void frmProperties::Form_Unload(int &cancel)
{
    (void)cancel;
    trkForm(1, "Properties");
}

void frmProperties::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmProperties::lodProperties() {}

void frmProperties::extProperties(int cancel) { (void)cancel; }

} // namespace vt
