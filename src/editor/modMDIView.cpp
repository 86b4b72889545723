#include "editor/modMDIView.h"

#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/settings.h"
#include "shell/frmMDI.h"
#include "shell/modApi.h"
#include "shell/modErrMsgs.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <cmath>

namespace vt {

void getMDISettings()
{
    frmMDI *mdi = frmMDI::instance();
    if (!mdi)
        return;
    int stage = 0;
    auto checked = [&](QAction *item, const char *key, bool def) {
        const QString stored = GetSetting(AppTitle, QStringLiteral("frmMDI"), QString::fromLatin1(key), BoolText(def));
        item->setChecked(CBool(stored));
        return item->isChecked();
    };
    Err.Clear();
    if (trapErrors([&] {
            stage = 1;
            mdi->setBandVisible(1, checked(mdi->mnuViewToolbarStandard, "StandardToolbar", true));
            stage = 2;
            mdi->setBandVisible(2, checked(mdi->mnuViewToolbarFormat, "FormatToolbar", true));
            stage = 3;
            mdi->cbrRuler->setVisible(checked(mdi->mnuViewRuler, "Ruler", false));
            stage = 4;
            mdi->SXB->setVisible(checked(mdi->mnuViewStatusBar, "StatusBar", true));
            stage = 11;
            // The leading number, rounded half to even; out of 0..2 is 0.
            const double v = std::nearbyint(Val(GetSetting(AppTitle, QStringLiteral("frmMDI"),
                                                            QStringLiteral("ViewMode"), QStringLiteral("0"))));
            const int16_t mode = (v >= 0 && v <= 2) ? int16_t(v) : int16_t(0);
            ViewMode = mode;
            setWrapMode(mode);
            stage = 12;
        }))
        return;
    errLoc(QStringLiteral("moxMain-soxSettings-") + QString::number(stage));
    Err.Clear();
}

void seeLineCnt(RichTextBox *box)
{
    frmMDI *mdi = frmMDI::instance();
    if (!box || !mdi || !mdi->sxbLines)
        return;
    const int total = box->GetLineCount();
    const int line = box->LineFromChar(-1) + 1;
    const QString pattern = QStringLiteral("###,###,###,###");
    mdi->sxbLines->setText(QStringLiteral("Line:") + Format(line, pattern) + QStringLiteral(" tot:")
                           + Format(total, pattern));
}

} // namespace vt
