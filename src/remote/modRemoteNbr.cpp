#include "remote/modRemoteNbr.h"

#include "remote/frmCroSetup.h"
#include "remote/frmKeyPad.h"
#include "remote/frmRemCtr.h"
#include "remote/frmSnsState.h"
#include "platform/ctlcolor.h"
#include "platform/timerctl.h"
#include "shell/modCrsFrms.h"
#include "shell/modNeighbours.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace vt {

namespace {
frmRemCtr *panel() { return vt::frmRemCtr::isLoaded() ? vt::frmRemCtr::instance() : nullptr; }

class RemoteLink : public RemoteNbr {
public:
    Form *frmRemCtr() override { return vt::frmRemCtr::get(); }
    void lodRemCtr() override { vt::frmRemCtr::get()->lodRemCtr(); }
    void extRemCtr(int cancel) override
    {
        if (auto *p = panel())
            p->extRemCtr(cancel);
    }
    void setKeyBackColor(const QString &key, uint32_t colour) override
    {
        if (auto *p = panel())
            if (auto *b = p->findChild<QPushButton *>(key))
                SetBackColor(b, colour);
    }
    void shoCroSetup() override { vt::shoCroSetup(); }
    void shoSnsState() override { vt::shoSnsState(); }
    void seeSnsState() override { vt::seeSnsState(); }
    // A panel not loaded has nothing to show: it is not loaded for that.
    void setLinkBox(int16_t index, bool ticked) override
    {
        if (auto *p = panel())
            p->setLinkBox(index, ticked);
    }
    void RefreshCFile() override
    {
        if (auto *p = panel())
            p->RefreshCFile();
    }
    void seeZOvuFra(int16_t pane) override
    {
        vt::frmRemCtr *p = vt::frmRemCtr::get();
        p->seeZOvuFra(pane);
        if (p->isMinimized())
            p->showNormal();
        p->show();
        p->raise();
        updKeypadBtn();
    }
    void soxMore() override
    {
        if (auto *p = panel())
            p->soxMore();
    }
    void addPrgrsText(const QString &text) override
    {
        if (auto *p = panel())
            p->PLog2Prgrs(text);
    }
    void seeKeyPadLcd() override
    {
        if (vt::frmKeyPad::isLoaded() && keyPadOn)
            vt::frmKeyPad::instance()->seeKeyPadLcd();
    }
    void showKeyPad() override { vt::frmKeyPad::get()->showKeyPad(); }
    QString hwrCLogBuf() override
    {
        auto *p = panel();
        return p ? p->txtHwrCLogBuf->text() : RemoteNbr::hwrCLogBuf();
    }
    QString hwrCLogPath() override
    {
        auto *p = panel();
        return p && !p->txtHwrCLogPath->text().isEmpty() ? p->txtHwrCLogPath->text() : RemoteNbr::hwrCLogPath();
    }
    QString hwrCLogFile() override
    {
        auto *p = panel();
        return p && !p->txtHwrCLogFile->text().isEmpty() ? p->txtHwrCLogFile->text() : RemoteNbr::hwrCLogFile();
    }
    void setHwrCLogName(const QString &path, const QString &file) override
    {
        RemoteNbr::setHwrCLogName(path, file);
        if (auto *p = panel()) {
            p->txtHwrCLogPath->setText(path);
            p->txtHwrCLogFile->setText(file);
        }
    }
    void fixCLogCmds() override
    {
        if (auto *p = panel())
            p->fixCLogCmds();
    }
    void resetPrgrsBar() override
    {
        if (auto *p = panel()) {
            p->prgRemCtr->setRange(0, 100);
            p->prgRemCtr->setValue(0);
        }
    }
    void showPrgrs(int barValue, const QString &percent) override
    {
        if (auto *p = panel()) {
            p->prgRemCtr->setValue(barValue);
            p->labPrgrsVal->setText(percent);
        }
    }
    void setPCycleTag(const QString &tag) override
    {
        if (auto *p = panel())
            p->tmrPCycle->Tag = tag;
    }
};
} // namespace

void installRemoteSubsystem()
{
    static RemoteLink link;
    installRemote(&link);
}

} // namespace vt
