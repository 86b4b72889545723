#include "shell/frmGPrgrs.h"

#include "platform/controls.h"
#include "platform/errors.h"
#include "shell/prgrsFrame.h"
#include "shell/modNeighbours.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace vt {

frmGPrgrs::frmGPrgrs()
{
    // A small floating window of its own. The label beside the bar says the
    // share; the bar's own text would repeat it.
    const PrgrsFrame made =
        buildPrgrsWindow(this, QStringLiteral("frmGPrgrs"), QStringLiteral("Vantrell progress"), 320, 140, false);
    keepPrgrsParts(this, made);
    const auto abort = controls::makeArray<QPushButton>(fraPrgrs, QStringLiteral("cmdSetPrgTab"), {QStringLiteral("Abort")},
                                                        [this](int i) { cmdSetPrgTab_Click(i); },
                                                        QStringLiteral("frmGPrgrs/cmdSetPrgTab_Click"));
    cmdSetPrgTab[0] = abort[0];
    made.column->addWidget(cmdSetPrgTab[0], 0, Qt::AlignHCenter);
}

frmGPrgrs::~frmGPrgrs() = default;

void frmGPrgrs::Form_Load()
{
    // A new progress window starts a new task: an abort asked of an earlier
    // one must not stop it.
    croAbortReq = false;
}

void frmGPrgrs::cmdSetPrgTab_Click(int index)
{
    (void)index;
    nbrChrono().abtCroTask();
}

void frmGPrgrs::closeEvent(QCloseEvent *e) { handleClose(e); }

} // namespace vt
