// The support windows (notes, terminal, port setup, remote panel, export
// settings) share one life: each is loaded once for the whole run, its load
// and unload are tracked, and the user's close only hides it; the program's
// own unload (shutdown) still closes it.
#pragma once

#include "platform/forms.h"
#include "shell/modBusy.h"

#include <QWidget>

namespace vt {

// class frmX : public QWidget, public SupportWindow<frmX>, constructed with
// the name its load and unload are tracked under ("Tip" for frmTip). QWidget
// stays the first base of the window itself, so that the window is still
// whole while the shared-instance slot is cleared on its destruction. The
// window's closeEvent passes the event to handleClose.
template <class T>
class SupportWindow : public SharedForm<T> {
public:
    void Form_Load() { trkForm(0, track_); }
    void Form_QueryUnload(int &cancel, int unloadMode) override
    {
        if (unloadMode == vbFormControlMenu) {
            static_cast<T *>(this)->hide();
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
    }

private:
    const char *track_;
};

} // namespace vt
