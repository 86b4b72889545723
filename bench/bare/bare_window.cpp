// The reference for start-up: a bare Qt main window with a menu bar, a text
// box and a status bar, nothing else. Once it is shown and its event loop
// runs, it writes "ready" into the file named by $VANTRELL_READY, as the
// program does when its start-up is done.
#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    QMenu *file = window.menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("E&xit"), &app, &QCoreApplication::quit);
    window.menuBar()->addMenu(QStringLiteral("&Edit"));
    window.setCentralWidget(new QTextEdit(&window));
    window.statusBar()->showMessage(QStringLiteral("Ready"));
    window.resize(800, 600);
    window.show();
    QTimer::singleShot(0, [] {
        QFile f(qEnvironmentVariable("VANTRELL_READY"));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write("ready\n");
    });
    return app.exec();
}
