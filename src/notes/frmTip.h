// The notes window rUvuzu. Its notes, keys and options come with the notes subsystem; start-up and shutdown only load it, call its load and exit procedures and unload it.
#pragma once

#include "shell/supportWindow.h"

#include <QWidget>

namespace vt {

class frmTip : public QWidget, public SupportWindow<frmTip> {
    Q_OBJECT
public:
    frmTip();
    ~frmTip() override;

    // Load procedure, called once by the start-up sequence after the window loaded.
    void lodTip();
    // Exit procedure, called once by the shutdown with a copy of its cancel flag.
    void extTip(int cancel);

protected:
    void closeEvent(QCloseEvent *e) override;
};

} // namespace vt
