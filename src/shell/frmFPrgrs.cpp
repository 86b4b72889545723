#include "shell/frmFPrgrs.h"

#include "platform/controls.h"
#include "platform/errors.h"
#include "shell/prgrsFrame.h"
#include "shell/modPrgrs.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vt {

frmFPrgrs::frmFPrgrs()
{
    const PrgrsFrame made =
        buildPrgrsWindow(this, QStringLiteral("frmFPrgrs"), QStringLiteral("Data Export Progress"), 420, 180, true);
    keepPrgrsParts(this, made);
    // The detail line goes under the heading.
    labWhat = controls::named(new QLabel(fraPrgrs), QStringLiteral("labWhat"));
    labWhat->setWordWrap(true);
    made.column->insertWidget(1, labWhat);
    // The box has no caption: ticking it closes the window.
    chkOut = controls::make<QCheckBox>(
        fraPrgrs, {QStringLiteral("chkOut"), QString(), [this] { chkOut_Click(); }, QStringLiteral("Close")},
        QStringLiteral("frmFPrgrs/"));
    cmdSetPrgTab = controls::make<QPushButton>(
        fraPrgrs, {QStringLiteral("cmdSetPrgTab"), QStringLiteral("Abort"), [this] { cmdSetPrgTab_Click(); }},
        QStringLiteral("frmFPrgrs/"));
    made.column->addWidget(chkOut);
    made.column->addWidget(cmdSetPrgTab);
}

frmFPrgrs::~frmFPrgrs()
{
    // Never leave the hourglass behind, however the window goes.
    if (pointerSet_)
        QApplication::restoreOverrideCursor();
}

void frmFPrgrs::Form_Load()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    pointerSet_ = true;
}

void frmFPrgrs::Form_Unload(int &cancel)
{
    (void)cancel;
    if (pointerSet_) {
        QApplication::restoreOverrideCursor();
        pointerSet_ = false;
    }
}

void frmFPrgrs::chkOut_Click()
{
    chkOut->setChecked(false);
    unload();
}

void frmFPrgrs::cmdSetPrgTab_Click()
{
    abortAsked = true;
    cmdSetPrgTab->setEnabled(false); // asked once; the export stops at its next look
}

void frmFPrgrs::showPercent(double percent)
{
    const float p = float(std::clamp(percent, 0.0, 100.0));
    prgRemCtr->setValue(prgrsBarValue(p));
    labPrgrsVal->setText(prgrsText(p));
}

void frmFPrgrs::closeEvent(QCloseEvent *e) { handleClose(e); }

} // namespace vt
