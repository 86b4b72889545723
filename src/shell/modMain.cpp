#include "shell/modMain.h"

#include <QApplication>
#include <QMainWindow>

namespace vt {

int Main(QApplication &app)
{
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("Vantrell0"));
    w.show();
    return app.exec();
}

} // namespace vt
