// The reference for capture: a bare Qt text box holding a text file, which
// receives lines on a serial port at 4800 baud and adds each one at the end
// of the box once its carriage return has come, as a minimal capture
// program would. Built from Qt alone.
//
//   bare_capture TEXT-FILE PORT
//
// Prints "ready" once the box is shown and its event loop runs. Reads
// commands on its standard input, one a line: "lines" answers the box's
// paragraph count; the end of the input ends the program.
#include <QApplication>
#include <QFile>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bare_capture TEXT-FILE PORT\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bare_capture: cannot read %s\n", argv[1]);
        return 1;
    }
    QTextEdit box;
    box.setPlainText(QString::fromUtf8(file.readAll()));
    box.moveCursor(QTextCursor::End);
    box.resize(800, 600);
    box.show();

    QSerialPort port(QString::fromLocal8Bit(argv[2]));
    port.setBaudRate(4800);
    if (!port.open(QIODevice::ReadWrite)) {
        std::fprintf(stderr, "bare_capture: cannot open %s\n", argv[2]);
        return 1;
    }
    QByteArray pending;
    QObject::connect(&port, &QSerialPort::readyRead, &box, [&] {
        pending += port.readAll();
        for (qsizetype at; (at = pending.indexOf('\r')) >= 0;) {
            QByteArray line = pending.left(at);
            pending.remove(0, at + 1);
            if (line.startsWith('\n'))
                line.remove(0, 1);
            box.append(QString::fromLatin1(line));
        }
    });

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buf[256];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            input.setEnabled(false);
            app.quit();
            return;
        }
        if (QByteArray(buf, int(n)).contains("lines")) {
            std::printf("%d\n", box.document()->blockCount());
            std::fflush(stdout);
        }
    });
    QTimer::singleShot(0, [] {
        std::printf("ready\n");
        std::fflush(stdout);
    });
    return app.exec();
}
