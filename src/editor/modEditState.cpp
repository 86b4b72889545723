#include "editor/modEditState.h"

#include "platform/errors.h"
#include "platform/forms.h"
#include "shell/frmMDI.h"
#include "shell/modStatus.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>

namespace vt {

void setEditBtns(bool lock)
{
    frmMDI *mdi = frmMDI::get();
    const bool on = !lock;
    auto button = [](QToolBar *bar, const char *key, bool enabled) {
        QAction *b = toolButton(bar, QString::fromLatin1(key));
        if (!b)
            raise(91, {}, QStringLiteral("setEditBtns"));
        b->setEnabled(enabled);
    };
    button(mdi->tbrStandard, "Cut", on);
    button(mdi->tbrStandard, "Paste", on);
    button(mdi->tbrStandard, "Undo", on);
    button(mdi->tbrStandard, "Redo", on);
    button(mdi->tbrFormat, "CaseToUpper", on);
    button(mdi->tbrFormat, "CaseToLower", on);
    for (QAction *item : {mdi->mnuEditUndo, mdi->mnuEditRedo, mdi->mnuEditCut, mdi->mnuEditPaste,
                          mdi->mnuEditDelete, mdi->mnuCaseConvert})
        item->setEnabled(on);
}

void installEditState() { installEditLock(&setEditBtns); }

} // namespace vt
