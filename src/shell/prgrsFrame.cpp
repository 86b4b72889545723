#include "shell/prgrsFrame.h"

#include "platform/controls.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace vt {

PrgrsBar makePrgrsBar(QWidget *parent, bool barText)
{
    PrgrsBar made;
    made.bar = controls::named(new QProgressBar(parent), QStringLiteral("prgRemCtr"), QStringLiteral("Progress"));
    made.bar->setRange(0, 100);
    made.bar->setValue(0);
    made.bar->setTextVisible(barText);
    made.value = controls::named(new QLabel(QStringLiteral("000.0%"), parent), QStringLiteral("labPrgrsVal"));
    return made;
}

PrgrsFrame buildPrgrsWindow(QWidget *window, const QString &name, const QString &title, int width, int height,
                            bool barText)
{
    window->setObjectName(name);
    window->setWindowTitle(title);
    window->setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    auto *outer = new QVBoxLayout(window);
    PrgrsFrame made;
    made.frame = controls::named(new QGroupBox(window), QStringLiteral("fraPrgrs"));
    outer->addWidget(made.frame);
    made.column = new QVBoxLayout(made.frame);
    made.heading = controls::named(new QLabel(QStringLiteral("Progress"), made.frame), QStringLiteral("labPrgrs"));
    made.bar = makePrgrsBar(made.frame, barText);
    made.column->addWidget(made.heading);
    made.column->addWidget(made.bar.bar);
    made.column->addWidget(made.bar.value);
    window->resize(width, height);
    return made;
}

} // namespace vt
