#include <QApplication>

#include "chrono/modChronoNbr.h"
#include "editor/modEditState.h"
#include "editor/modEditorNbr.h"
#include "export/modExpNbr.h"
#include "notes/modNotesNbr.h"
#include "remote/modRemoteNbr.h"
#include "serial/modSerialNbr.h"
#include "shell/modMain.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // The subsystems above the shell hand it what start-up and shutdown call.
    vt::installNotesSubsystem();
    vt::installEditorSubsystem();
    vt::installSerialSubsystem();
    vt::installChronoSubsystem();
    vt::installRemoteSubsystem();
    vt::installExportSubsystem();
    vt::installEditState();
    return vt::Main(app);
}
