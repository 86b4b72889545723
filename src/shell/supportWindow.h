// The support windows (notes, terminal, port setup, remote panel, export
// settings) share one life: each is a top-level window loaded once for the
// whole run, its load and unload are tracked, and the user's close only hides
// it; the program's own unload (shutdown) still closes it.
#pragma once

#include "platform/forms.h"
#include "shell/modBusy.h"

#include <QCloseEvent>
#include <QWidget>

namespace vt {

// class frmX : public SupportWindow<frmX>, constructed with the name its
// load and unload are tracked under ("Tip" for frmTip).
template <class T>
class SupportWindow : public QWidget, public SharedForm<T> {
public:
    void Form_Load() { trkForm(0, track_); }
    void Form_QueryUnload(int &cancel, int unloadMode) override
    {
        if (unloadMode == vbFormControlMenu) {
            hide();
            cancel = 1;
        }
    }
    void Form_Unload(int &cancel) override
    {
        (void)cancel;
        trkForm(1, track_);
    }

protected:
    explicit SupportWindow(const char *track)
        : track_(track)
    {
        setWindowFlag(Qt::Window);
    }
    void closeEvent(QCloseEvent *e) override { this->handleClose(e); }

private:
    const char *track_;
};

} // namespace vt
