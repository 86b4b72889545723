// The terminal window zEzede with the link port. Its text box, port control and timers come with the serial subsystem.
#pragma once

#include "platform/forms.h"

#include <QWidget>

namespace vt {

class frmTerminal : public QWidget, public SharedForm<frmTerminal> {
    Q_OBJECT
public:
    frmTerminal();
    ~frmTerminal() override;

    void Form_Load();
    void Form_QueryUnload(int &cancel, int unloadMode) override;
    void Form_Unload(int &cancel) override;

    // Load procedure, called once by the start-up sequence after the window loaded.
    void lodTerminal();
    // Exit procedure, called once by the shutdown with a copy of its cancel flag.
    void extTerminal(int cancel);

protected:
    void closeEvent(QCloseEvent *e) override;
};

} // namespace vt
