#include "remote/frmSnsState.h"
#include "remote/frmCroSetup.h"

#include "chrono/modCroLnk.h"
#include "chrono/modCroStatus.h"
#include "editor/modEditState.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "shell/modBusy.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modStartNbrs.h"
#include "shell/modStatus.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vt {

namespace {

// The in-use row this panel shares with the sensitivity dialog, and its own
// counter there.
constexpr int kBizRow = 6;
constexpr int kBizCounter = 1;

QLabel *label(const QString &name)
{
    auto *l = new QLabel;
    l->setObjectName(name);
    return l;
}

template <class F>
void connectClick(QAbstractButton *b, F f)
{
    QObject::connect(b, &QAbstractButton::clicked, b, [b, f] { guarded(QStringLiteral("frmSnsState/") + b->objectName() + QStringLiteral("_Click"), f); });
}

} // namespace

frmSnsState::frmSnsState()
{
    setObjectName(QStringLiteral("frmSnsState"));
    setWindowTitle(QStringLiteral("Sensors"));
    auto *v = new QVBoxLayout(this);
    labSnsState = label(QStringLiteral("labSnsState"));
    labSnsLevel = label(QStringLiteral("labSnsLevel"));
    labEditState = label(QStringLiteral("labEditState"));
    v->addWidget(labSnsState);
    v->addWidget(labSnsLevel);
    chkSoftEdit = new QCheckBox(QStringLiteral("Allow editing while capturing"));
    chkSoftEdit->setObjectName(QStringLiteral("chkSoftEdit"));
    chkSoftEdit->setAccessibleName(chkSoftEdit->text());
    v->addWidget(chkSoftEdit);
    v->addWidget(labEditState);
    auto *h = new QHBoxLayout;
    cmdStatus = new QPushButton(QStringLiteral("&Status"));
    cmdStatus->setObjectName(QStringLiteral("cmdStatus"));
    cmdStatus->setAccessibleName(QStringLiteral("Status"));
    cmdClose = new QPushButton(QStringLiteral("&Close"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAccessibleName(QStringLiteral("Close"));
    h->addWidget(cmdStatus);
    h->addStretch();
    h->addWidget(cmdClose);
    v->addLayout(h);

    connectClick(chkSoftEdit, [this] { chkSoftEdit_Click(); });
    connectClick(cmdStatus, [this] { cmdStatus_Click(); });
    connectClick(cmdClose, [this] { cmdClose_Click(); });
}

frmSnsState::~frmSnsState() = default;

void frmSnsState::Form_Load()
{
    begBiz(kBizRow, kBizCounter);
    trkForm(0, "SnsState");
    seeSnsState();
}

void frmSnsState::Form_Unload(int &cancel)
{
    (void)cancel;
    endBiz(kBizRow, kBizCounter);
    trkForm(1, "SnsState");
    // The switch may have changed what the editing commands allow.
    nbrEditor().updFgsMDI();
}

void frmSnsState::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmSnsState::seeSnsState()
{
    if (!CroSta.croStaOk)
        labSnsState->setText(QStringLiteral("Sensors: unknown (no status read)"));
    else
        labSnsState->setText(CroSta.croSnsOn ? QStringLiteral("Sensors: armed") : QStringLiteral("Sensors: off"));
    labSnsLevel->setText(CroSta.croStaOk ? QStringLiteral("Sensitivity: %1%").arg(CroSta.croSnsLev)
                                         : QStringLiteral("Sensitivity: unknown"));
    chkSoftEdit->setChecked(SoftEdit);
    labEditState->setText(isEditAllowed() ? QStringLiteral("The active CFile may be edited.")
                                          : QStringLiteral("Editing is locked while shots arrive."));
}

void frmSnsState::chkSoftEdit_Click()
{
    SoftEdit = chkSoftEdit->isChecked();
    seeSnsState();
}

void frmSnsState::cmdStatus_Click()
{
    {
        CroTaskGuard task;
        if (task.refused())
            return;
        getCroStatus();
    }
    if (!CroSta.croStaOk)
        seeNoCroStatus();
    updAllSta();
    seeSnsState();
}

void frmSnsState::cmdClose_Click() { unload(vbFormControlMenu); }

void shoSnsState()
{
    frmSnsState *f = frmSnsState::get();
    f->seeSnsState();
    if (f->isMinimized())
        f->showNormal();
    f->show();
    f->raise();
    f->activateWindow();
}

void seeSnsState()
{
    if (frmSnsState::isLoaded())
        frmSnsState::instance()->seeSnsState();
}

} // namespace vt
