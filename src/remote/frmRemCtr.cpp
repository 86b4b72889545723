#include "remote/frmRemCtr.h"

#include "platform/errors.h"
#include "platform/timerctl.h"
#include "shell/modPrgrs.h"
#include "shell/modStartNbrs.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <QCloseEvent>

namespace vt {

frmRemCtr::frmRemCtr()
    : SupportWindow("RemCtr")
{
    setObjectName(QStringLiteral("frmRemCtr"));
    setWindowTitle(QStringLiteral("zOvu Remote"));
    setWindowFlag(Qt::Window);

    auto *fraExp = new QGroupBox(QStringLiteral("Export"), this);
    fraExp->setObjectName(QStringLiteral("fraExp"));
    auto *box = new QVBoxLayout(fraExp);
    static const char *const sources[5] = {"String", "Folder", "eDisk", "zEzede", "CFile"};
    for (int i = 0; i < 5; ++i) {
        optExpSrc[i] = new QRadioButton(QString::fromLatin1(sources[i]), fraExp);
        optExpSrc[i]->setObjectName(QStringLiteral("optExpSrc") + QString::number(i));
        box->addWidget(optExpSrc[i]);
        connect(optExpSrc[i], &QRadioButton::clicked, this, [this, i] {
            guarded(QStringLiteral("frmRemCtr-optExpSrc_Click"), [&] { optExpSrc_Click(i); });
        });
    }
    optExpSrc[0]->setChecked(true);
    cmdExp2Excel = new QPushButton(QStringLiteral("Export to Excel"), fraExp);
    cmdExp2Excel->setObjectName(QStringLiteral("cmdExp2Excel"));
    box->addWidget(cmdExp2Excel);
    connect(cmdExp2Excel, &QPushButton::clicked, this,
            [this] { guarded(QStringLiteral("frmRemCtr-cmdExp2Excel_Click"), [this] { cmdExp2Excel_Click(); }); });
    auto *top = new QVBoxLayout(this);
    top->addWidget(buildKeys());
    top->addWidget(buildDwn());
    top->addWidget(fraExp);
    top->addStretch();

    auto *prgRow = new QHBoxLayout;
    prgRemCtr = new QProgressBar(this);
    prgRemCtr->setObjectName(QStringLiteral("prgRemCtr"));
    prgRemCtr->setRange(0, 100);
    prgRemCtr->setValue(0);
    prgRemCtr->setTextVisible(false);
    prgRemCtr->setAccessibleName(QStringLiteral("Progress"));
    labPrgrsVal = new QLabel(QStringLiteral("000.0%"), this);
    labPrgrsVal->setObjectName(QStringLiteral("labPrgrsVal"));
    prgRow->addWidget(prgRemCtr, 1);
    prgRow->addWidget(labPrgrsVal);
    top->addLayout(prgRow);
    tmrPCycle = std::make_unique<TimerCtl>(QStringLiteral("frmRemCtr-tmrPCycle_Timer"), false, 1000, QStringLiteral("1"));
    tmrPCycle->onTimer([this] { tmrPCycle_Timer(); });
}

frmRemCtr::~frmRemCtr() = default;

void frmRemCtr::tmrPCycle_Timer()
{
    if (!PrgrsState.PrgrsCancel || PrgrsState.PCycleCnt >= PCycleLim)
        return;
    ++PrgrsState.PCycleCnt;
    stepPrgrs();
}

void frmRemCtr::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmRemCtr::lodRemCtr()
{
    PrgrsState.PrgrsOn = false;
    PrgrsState.PrgrsCancel = false;
    PCycleLim = 7200;
    tmrPCycle->setEnabled(true);
}

void frmRemCtr::extRemCtr(int cancel) { (void)cancel; }

void frmRemCtr::optExpSrc_Click(int index) { (void)index; }

void frmRemCtr::cmdExp2Excel_Click()
{
    for (int16_t i = 0; i < 5; ++i)
        if (optExpSrc[i]->isChecked()) {
            nbrExport().expXlCommand(i);
            return;
        }
}

} // namespace vt
