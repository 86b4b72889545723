#include <QApplication>

#include "shell/modMain.h"
#include "tools/modSubsystems.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    vt::installSubsystems();
    return vt::Main(app);
}
