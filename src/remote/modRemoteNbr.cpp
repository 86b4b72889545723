#include "remote/modRemoteNbr.h"

#include "remote/frmRemCtr.h"
#include "shell/modNeighbours.h"

namespace vt {

namespace {
class RemoteLink : public RemoteNbr {
public:
    Form *frmRemCtr() override { return vt::frmRemCtr::get(); }
    void lodRemCtr() override { vt::frmRemCtr::get()->lodRemCtr(); }
    void extRemCtr(int cancel) override
    {
        if (vt::frmRemCtr::isLoaded())
            vt::frmRemCtr::instance()->extRemCtr(cancel);
    }
};
} // namespace

void installRemoteSubsystem()
{
    static RemoteLink link;
    installRemote(&link);
}

} // namespace vt
