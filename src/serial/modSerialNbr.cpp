#include "serial/modSerialNbr.h"

#include "platform/richtext.h"
#include "platform/serialport.h"
#include "serial/frmProperties.h"
#include "serial/frmTerminal.h"
#include "serial/modComPort.h"
#include "shell/modNeighbours.h"

#include <QAction>

namespace vt {

namespace {

class SerialLink : public SerialNbr {
public:
    Form *frmTerminal() override { return vt::frmTerminal::get(); }
    Form *frmProperties() override { return vt::frmProperties::get(); }

    // Reading the link control loads the terminal window, as the shell expects.
    int16_t linkCommPort() override { return int16_t(term()->MSComm1->CommPort()); }
    bool linkPortOpen() override { return term()->MSComm1->PortOpen(); }
    void linkOutput(const QString &text) override
    {
        if (term()->MSComm1->PortOpen())
            term()->MSComm1->setOutput(text);
    }

    void lodTerminal() override { term()->lodTerminal(); }
    void extTerminal(int cancel) override
    {
        if (vt::frmTerminal::isLoaded())
            vt::frmTerminal::instance()->extTerminal(cancel);
    }
    void subOpenPort() override { term()->subOpenPort(); }
    void PutCLogCaption(const QString &name) override { term()->PutCLogCaption(name); }
    void zapCroTmrs() override { term()->zapCroTmrs(); }
    void setPortMenuCaption(const QString &caption) override { term()->mnuOpenPortOnOff->setText(caption); }
    QString termText() override { return term()->txtTerm->Text(); }
    int64_t termCut() override { return term()->TermCut; }
    bool putTrmChr(int16_t &KeyAscii) override { return term()->putTrmChr(KeyAscii); }
    void modComTogShow(int16_t &mode) override { vt::modComTogShow(mode); }

    void lodProperties() override { vt::frmProperties::get()->lodProperties(); }
    void extProperties(int cancel) override
    {
        if (vt::frmProperties::isLoaded())
            vt::frmProperties::instance()->extProperties(cancel);
    }

private:
    static vt::frmTerminal *term() { return vt::frmTerminal::get(); }
};

} // namespace

void installSerialSubsystem()
{
    static SerialLink link;
    installSerial(&link);
}

} // namespace vt
