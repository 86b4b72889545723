#include "notes/modNotesNbr.h"

#include "notes/frmTip.h"
#include "notes/modMsgLst.h"
#include "shell/modStartNbrs.h"

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
};
} // namespace

void installNotesSubsystem()
{
    static NotesLink link;
    installNotes(&link);
}

} // namespace vt
