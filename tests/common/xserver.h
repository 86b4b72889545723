// A private X server for tests that must see what the window system shows:
// which windows are mapped, which is on top. The offscreen platform has no
// window manager, so a window mapped by mistake shows only under a real one.
//
//   int main(int argc, char **argv)
//   {
//       vttest::XServer x;
//       const bool up = x.start();     // before the QApplication: Xvfb on a free
//                                      // display, DISPLAY and QT_QPA_PLATFORM=xcb
//       QApplication app(argc, argv);
//       if (up)
//           x.startWindowManager();    // openbox, waits until it manages windows
//       ...
//   }
//
// A test that finds no server (Xvfb not installed, or it did not come up)
// runs offscreen and skips what needs the server: x.running() says which.
#pragma once

#include <QString>
#include <QWidget>
#include <sys/types.h>

namespace vttest {

class XServer {
public:
    XServer() = default;
    ~XServer();
    XServer(const XServer &) = delete;
    XServer &operator=(const XServer &) = delete;

    // Starts Xvfb at 1280 x 800 on the first free display it finds and points
    // this process's DISPLAY and QT_QPA_PLATFORM at it (and leaves it without
    // a session message bus). False, with why(), when there is none; the
    // environment is then left as it was.
    bool start(int width = 1280, int height = 800);
    // Starts openbox on the server and waits until it has taken over the
    // screen. Needs the QApplication. False, with why(), when it did not.
    bool startWindowManager();

    bool running() const { return xvfb_ > 0; }
    bool managed() const { return wm_ > 0; }
    QString why() const { return why_; }
    QString display() const { return display_; }

    // What the X server says of a widget's native window: mapped and
    // viewable (a window on the screen), not merely what Qt believes.
    static bool viewable(const QWidget *w);

private:
    pid_t xvfb_ = 0;
    pid_t wm_ = 0;
    QString display_;
    QString why_;
};

} // namespace vttest
