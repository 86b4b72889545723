#include "shell/frmGPrgrs.h"

#include "platform/errors.h"
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
    setObjectName(QStringLiteral("frmGPrgrs"));
    setWindowTitle(QStringLiteral("Vantrell progress"));
    // A small floating window of its own: it must not take a place in the
    // task bar, and stays above the program's other windows.
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    auto *outer = new QVBoxLayout(this);
    fraPrgrs = new QGroupBox(this);
    fraPrgrs->setObjectName(QStringLiteral("fraPrgrs"));
    outer->addWidget(fraPrgrs);
    auto *lay = new QVBoxLayout(fraPrgrs);
    labPrgrs = new QLabel(QStringLiteral("Progress"), fraPrgrs);
    labPrgrs->setObjectName(QStringLiteral("labPrgrs"));
    prgRemCtr = new QProgressBar(fraPrgrs);
    prgRemCtr->setObjectName(QStringLiteral("prgRemCtr"));
    prgRemCtr->setRange(0, 100);
    prgRemCtr->setValue(0);
    // The label beside it says the share; the bar's own text would repeat it.
    prgRemCtr->setTextVisible(false);
    prgRemCtr->setAccessibleName(QStringLiteral("Progress"));
    labPrgrsVal = new QLabel(QStringLiteral("000.0%"), fraPrgrs);
    labPrgrsVal->setObjectName(QStringLiteral("labPrgrsVal"));
    cmdSetPrgTab[0] = new QPushButton(QStringLiteral("Abort"), fraPrgrs);
    cmdSetPrgTab[0]->setObjectName(QStringLiteral("cmdSetPrgTab0"));
    cmdSetPrgTab[0]->setAccessibleName(QStringLiteral("Abort"));
    lay->addWidget(labPrgrs);
    lay->addWidget(prgRemCtr);
    lay->addWidget(labPrgrsVal);
    lay->addWidget(cmdSetPrgTab[0], 0, Qt::AlignHCenter);
    for (int i = 0; i < 1; ++i)
        connect(cmdSetPrgTab[i], &QPushButton::clicked, this, [this, i] {
            guarded(QStringLiteral("frmGPrgrs/cmdSetPrgTab_Click"), [this, i] { cmdSetPrgTab_Click(i); });
        });
    resize(320, 140);
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
