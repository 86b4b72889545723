#include "notes/modNotesNbr.h"

#include "notes/frmTip.h"
#include "notes/modMsgLst.h"
#include "shell/modStartNbrs.h"

#include <QCheckBox>

namespace vt {

namespace {
class NotesLink : public NotesNbr {
public:
    Form *frmTip() override { return vt::frmTip::get(); }
    void lodTip() override { vt::frmTip::get()->lodTip(); }
    void extTip(int cancel) override
    {
        if (vt::frmTip::isLoaded())
            vt::frmTip::instance()->extTip(cancel);
    }
    bool askChronoWarn(const QString &text) override { return vt::askChronoWarn(text); }
    void seeXNots(int16_t a, int16_t b, int16_t c, int16_t d, int16_t addIfMissing, int16_t modal) override
    {
        vt::frmTip::get()->seeXNots(a, b, c, d, addIfMissing, modal);
    }
    void seeMsgNote(int16_t n, int16_t subIndex) override { vt::seeMsgNote(n, subIndex); }
    int16_t askMsgNote(int16_t n, int16_t subIndex) override { return vt::askMsgNote(n, subIndex); }
    void seeNotes() override { vt::frmTip::get()->seeNotes(); }
    void showTipModeless() override { vt::frmTip::get()->showModeless(); }
    bool qryExitNotes() override { return !vt::frmTip::isLoaded() || vt::frmTip::instance()->qryExitNotes(); }
    void soxMore() override
    {
        if (vt::frmTip::isLoaded())
            vt::frmTip::instance()->soxMore();
    }
    bool showVipNotes() override
    {
        return vt::frmTip::isLoaded() ? vt::frmTip::instance()->chkVipNotes->isChecked() : NotesNbr::showVipNotes();
    }
    void setShowVipNotes(bool on) override
    {
        if (vt::frmTip::isLoaded())
            vt::frmTip::instance()->chkVipNotes->setChecked(on);
        NotesNbr::setShowVipNotes(on);
    }
    QString saveRecoveryCopy(const QString &folder) override
    {
        return vt::frmTip::isLoaded() ? vt::frmTip::instance()->saveRecoveryCopy(folder) : QString();
    }
};
} // namespace

void installNotesSubsystem()
{
    static NotesLink link;
    installNotes(&link);
}

} // namespace vt
