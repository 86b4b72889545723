#include "shell/frmFPrgrs.h"

#include "platform/errors.h"
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
    setObjectName(QStringLiteral("frmFPrgrs"));
    setWindowTitle(QStringLiteral("Data Export Progress"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    auto *outer = new QVBoxLayout(this);
    fraPrgrs = new QGroupBox(this);
    fraPrgrs->setObjectName(QStringLiteral("fraPrgrs"));
    outer->addWidget(fraPrgrs);
    auto *lay = new QVBoxLayout(fraPrgrs);
    labPrgrs = new QLabel(QStringLiteral("Progress"), fraPrgrs);
    labPrgrs->setObjectName(QStringLiteral("labPrgrs"));
    labWhat = new QLabel(fraPrgrs);
    labWhat->setObjectName(QStringLiteral("labWhat"));
    labWhat->setWordWrap(true);
    prgRemCtr = new QProgressBar(fraPrgrs);
    prgRemCtr->setObjectName(QStringLiteral("prgRemCtr"));
    prgRemCtr->setRange(0, 100);
    prgRemCtr->setValue(0);
    prgRemCtr->setAccessibleName(QStringLiteral("Progress"));
    labPrgrsVal = new QLabel(QStringLiteral("000.0%"), fraPrgrs);
    labPrgrsVal->setObjectName(QStringLiteral("labPrgrsVal"));
    chkOut = new QCheckBox(fraPrgrs);
    chkOut->setObjectName(QStringLiteral("chkOut"));
    // The box has no caption: ticking it closes the window.
    chkOut->setAccessibleName(QStringLiteral("Close"));
    chkOut->setToolTip(QStringLiteral("Close"));
    cmdSetPrgTab = new QPushButton(QStringLiteral("Abort"), fraPrgrs);
    cmdSetPrgTab->setObjectName(QStringLiteral("cmdSetPrgTab"));
    for (QWidget *w : {static_cast<QWidget *>(labPrgrs), static_cast<QWidget *>(labWhat),
                       static_cast<QWidget *>(prgRemCtr), static_cast<QWidget *>(labPrgrsVal),
                       static_cast<QWidget *>(chkOut), static_cast<QWidget *>(cmdSetPrgTab)})
        lay->addWidget(w);
    connect(chkOut, &QCheckBox::clicked, this, [this] { guarded(QStringLiteral("frmFPrgrs/chkOut_Click"), [this] { chkOut_Click(); }); });
    connect(cmdSetPrgTab, &QPushButton::clicked, this,
            [this] { guarded(QStringLiteral("frmFPrgrs/cmdSetPrgTab_Click"), [this] { cmdSetPrgTab_Click(); }); });
    resize(420, 180);
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
