#include "remote/frmRemCtr.h"

#include "platform/errors.h"
#include "shell/modStartNbrs.h"

#include <QGroupBox>
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
    top->addWidget(fraExp);
    top->addStretch();
}

frmRemCtr::~frmRemCtr() = default;

void frmRemCtr::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmRemCtr::lodRemCtr() {}

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
