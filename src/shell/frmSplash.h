// The splash window, shown while the program brings itself up, and the whole
// start-up sequence Startup that Main hands over to.
#pragma once

#include "platform/forms.h"

#include <QWidget>

class QLabel;

namespace vt {

class SplashGiveWay;

// "Version " and the program's major, minor and revision numbers.
QString versionText();

class frmSplash : public QWidget, public SharedForm<frmSplash> {
    Q_OBJECT
public:
    frmSplash();
    ~frmSplash() override;

    QLabel *lblStatus = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Picture1 = nullptr;

    void Form_Load();
    void Form_Unload(int &cancel) override;

    // Loads every window, brings up the port and the chronograph as the
    // start-up options ask, opens the first CFile. Runs on after the splash
    // window itself has gone, so it belongs to no instance.
    static void Startup();
    // Shows a start-up step at once, without waiting for the event loop.
    static void LStatus(const QString &text);
    // Loads the file named on the command line into the active CFile; any
    // failure leaves the CFile empty and says nothing.
    static void lodUsrFile();
    // True while Startup runs.
    static bool starting();

private:
    SplashGiveWay *giveWay_ = nullptr;
};

// Shows a window modally and returns when it is hidden or gone. Goes through
// the answering seam, so a script or a test never waits on it.
void showModal(QWidget *window);

} // namespace vt
