// The port and device setup window. Its lists, options and port scan come with the serial subsystem; start-up shows it modeless while it scans and modal when the user picks a port.
#pragma once

#include "shell/supportWindow.h"

#include <QWidget>

namespace vt {

class frmProperties : public QWidget, public SupportWindow<frmProperties> {
    Q_OBJECT
public:
    frmProperties();
    ~frmProperties() override;

    // Load procedure, called once by the start-up sequence after the window loaded.
    void lodProperties();
    // Exit procedure, called once by the shutdown with a copy of its cancel flag.
    void extProperties(int cancel);

protected:
    void closeEvent(QCloseEvent *e) override;
};

} // namespace vt
