#include "tools/modSubsystems.h"

#include "chrono/modChronoNbr.h"
#include "editor/modEditState.h"
#include "editor/modEditorNbr.h"
#include "export/modExpNbr.h"
#include "notes/modNotesNbr.h"
#include "remote/modRemoteNbr.h"
#include "serial/modSerialNbr.h"
#include "tools/modEditorTools.h"

namespace vt {

void installSubsystems()
{
    installNotesSubsystem();
    installEditorSubsystem();
    installSerialSubsystem();
    installChronoSubsystem();
    installRemoteSubsystem();
    installExportSubsystem();
    installEditState();
    installEditorTools();
}

} // namespace vt
