#include <QApplication>

#include "shell/modMain.h"
#include "shell/modQuitSig.h"
#include "tools/modSubsystems.h"

int main(int argc, char **argv)
{
    // The end of the session may come while Qt itself is still starting.
    vt::catchQuitSignals();
    QApplication app(argc, argv);
    vt::installSubsystems();
    return vt::Main(app);
}
