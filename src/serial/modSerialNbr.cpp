#include "serial/modSerialNbr.h"

#include "platform/richtext.h"
#include "platform/serialport.h"
#include "serial/frmProperties.h"
#include "serial/frmTerminal.h"
#include "serial/modComPort.h"
#include "shell/modNeighbours.h"

#include <QAction>
#include <QPushButton>

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
    void setPortMenuCaption(const QString &caption) override { term()->showPortState(caption); }
    void updCurCro() override
    {
        if (vt::frmProperties::isLoaded())
            vt::frmProperties::instance()->updCurCro();
    }
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
    void GetPrtSetUp() override { props()->GetPrtSetUp(); }
    void GetFrmSet() override { props()->GetFrmSet(); }
    void SaveFrmSet() override { props()->SaveFrmSet(); }
    void offSetup() override { props()->offSetup(); }
    void onnSetup() override { props()->onnSetup(); }
    void onnSelect() override { props()->onnSelect(); }
    void offSelect() override { props()->offSelect(); }
    void croDetect() override { props()->croDetect(); }
    bool selCroFirst(int16_t device) override
    {
        bool found = false;
        props()->selCroFirst(device, found);
        return found;
    }
    QString triedDevices() override { return props()->triedDevices(); }
    void SetApply() override { props()->SetApply(); }
    void setDirty(int16_t mode) override { props()->setDirty(mode); }
    void vewCom2Cro() override { props()->vewCom2Cro(); }
    void ShowPLog(const QString &text, int16_t kind, bool flag) override { props()->ShowPLog(text, kind, flag); }
    void SetNorm() override { props()->SetNorm(); }
    void FixPLog(int16_t mode) override { props()->FixPLog(mode); }
    void SeePrtSetup() override { props()->SeePrtSetup(); }
    void setCroTabCaption(const QString &caption) override
    {
        if (vt::frmProperties::isLoaded())
            vt::frmProperties::instance()->cmdCroTab[0]->setText(caption);
    }

private:
    static vt::frmTerminal *term() { return vt::frmTerminal::get(); }
    static vt::frmProperties *props() { return vt::frmProperties::get(); }
};

} // namespace

void installSerialSubsystem()
{
    static SerialLink link;
    installSerial(&link);
}

} // namespace vt
