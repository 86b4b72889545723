#include "serial/modSerialNbr.h"

#include "serial/frmProperties.h"
#include "serial/frmTerminal.h"
#include "shell/modNeighbours.h"

namespace vt {

namespace {
// The windows exist; what they do comes with the serial subsystem, which
// takes over the rest of this interface.
class SerialLink : public SerialNbr {
public:
    Form *frmTerminal() override { return vt::frmTerminal::get(); }
    Form *frmProperties() override { return vt::frmProperties::get(); }
    void lodTerminal() override { vt::frmTerminal::get()->lodTerminal(); }
    void extTerminal(int cancel) override
    {
        if (vt::frmTerminal::isLoaded())
            vt::frmTerminal::instance()->extTerminal(cancel);
    }
    void lodProperties() override { vt::frmProperties::get()->lodProperties(); }
    void extProperties(int cancel) override
    {
        if (vt::frmProperties::isLoaded())
            vt::frmProperties::instance()->extProperties(cancel);
    }
};
} // namespace

void installSerialSubsystem()
{
    static SerialLink link;
    installSerial(&link);
}

} // namespace vt
