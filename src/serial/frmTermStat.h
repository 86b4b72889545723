// The terminal's statistics window: what the receive engine counted (bytes,
// lines, events, errors, and what was typed or sent), refreshed while it is
// shown, and the line-state and error events of the link port, one line each,
// as the terminal reports them.
#pragma once

#include "platform/forms.h"

#include <QWidget>

class QLabel;
class QListWidget;
class QTimer;

namespace vt {

class frmTermStat : public QWidget, public SharedForm<frmTermStat> {
    Q_OBJECT
public:
    frmTermStat();
    ~frmTermStat() override;

    QListWidget *lstStatus = nullptr;
    QLabel *lblCounts = nullptr;
    QTimer *tmrRefresh = nullptr;

    // Shows the terminal's counters as they stand.
    void refreshCounts();

    void Form_Load() {}
    void Form_QueryUnload(int &cancel, int unloadMode) override;

    // Adds one event line; error events are marked as such.
    void LogStatus(bool isErr, const QString &text);

protected:
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;
};

} // namespace vt
