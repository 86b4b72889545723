// The parts every progress display shares: the bar from 0 to 100 with the
// share done as text beside it ("000.0%"), and the frame of the progress
// windows (a heading line over the bar and its text) in a small window that
// floats above the program's others and takes no place in the task bar.
#pragma once

#include <QString>

class QGroupBox;
class QLabel;
class QProgressBar;
class QVBoxLayout;
class QWidget;

namespace vt {

// The bar (prgRemCtr) and its text (labPrgrsVal) under parent; the bar's own
// text shows only when asked, as a label beside it may say the same.
struct PrgrsBar {
    QProgressBar *bar = nullptr;
    QLabel *value = nullptr;
};
PrgrsBar makePrgrsBar(QWidget *parent, bool barText);

// A progress window's frame (fraPrgrs), its column of controls, the heading
// (labPrgrs, "Progress") and the bar with its text, laid in that order.
struct PrgrsFrame {
    QGroupBox *frame = nullptr;
    QVBoxLayout *column = nullptr;
    QLabel *heading = nullptr;
    PrgrsBar bar;
};
// Names, titles and sizes the window and builds its frame.
PrgrsFrame buildPrgrsWindow(QWidget *window, const QString &name, const QString &title, int width, int height,
                            bool barText);

// Keeps the frame's parts in a progress window's members of the same names.
template <class Window>
void keepPrgrsParts(Window *window, const PrgrsFrame &made)
{
    window->fraPrgrs = made.frame;
    window->labPrgrs = made.heading;
    window->prgRemCtr = made.bar.bar;
    window->labPrgrsVal = made.bar.value;
}

} // namespace vt
