// The terminal's statistics window: the line-state and error events of the
// link port, one line each, as the terminal reports them.
#pragma once

#include "platform/forms.h"

#include <QWidget>

class QListWidget;

namespace vt {

class frmTermStat : public QWidget, public SharedForm<frmTermStat> {
    Q_OBJECT
public:
    frmTermStat();
    ~frmTermStat() override;

    QListWidget *lstStatus = nullptr;

    void Form_Load() {}
    void Form_QueryUnload(int &cancel, int unloadMode) override;

    // Adds one event line; error events are marked as such.
    void LogStatus(bool isErr, const QString &text);

protected:
    void closeEvent(QCloseEvent *e) override;
};

} // namespace vt
