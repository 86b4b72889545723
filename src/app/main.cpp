#include <QApplication>

#include "shell/modMain.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return vt::Main(app);
}
