#include "shell/frmAbout.h"

#include "platform/errors.h"
#include "shell/frmMDI.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

namespace vt {

frmAbout::frmAbout() : QDialog(frmMDI::instance())
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Vantrell Information"));
    setModal(false);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(QIcon::fromTheme(QStringLiteral("help-about")).pixmap(48, 48));
    Label1 = new QLabel(QStringLiteral("Vantrell"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont big = Label1->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    Label1->setFont(big);
    lblVersion = new QLabel(QStringLiteral("Version"), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    Label3 = new QLabel(QStringLiteral("The Vantrell project"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label4 = new QLabel(QStringLiteral("Companion program for the KT4 Pulsidar chronograph.\n"
                                       "Provided as is, without warranty of any kind."),
                        this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setWordWrap(true);
    cmdSupport = new QPushButton(QStringLiteral("&Technical Support"), this);
    cmdSupport->setObjectName(QStringLiteral("cmdSupport"));
    cmdOK = new QPushButton(QStringLiteral("&Close"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(Picture1, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(Label1, 0, 1);
    grid->addWidget(lblVersion, 1, 1);
    grid->addWidget(Label3, 2, 1);
    grid->addWidget(Label4, 3, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSupport);
    buttons->addWidget(cmdOK);
    grid->addLayout(buttons, 4, 0, 1, 2);

    connect(cmdSupport, &QPushButton::clicked, this,
            [this] { guarded(QStringLiteral("frmAbout/cmdSupport_Click"), [this] { cmdSupport_Click(); }); });
    connect(cmdOK, &QPushButton::clicked, this,
            [this] { guarded(QStringLiteral("frmAbout/cmdOK_Click"), [this] { cmdOK_Click(); }); });
}

frmAbout::~frmAbout()
{
    disconnect(cmdSupport, nullptr, this, nullptr);
    disconnect(cmdOK, nullptr, this, nullptr);
}

void frmAbout::Form_Load()
{
    lblVersion->setText(QStringLiteral("Version %1.%2.%3").arg(VT_VERSION_MAJOR).arg(VT_VERSION_MINOR).arg(VT_VERSION_PATCH));
}

void frmAbout::cmdSupport_Click()
{
    // The user's mail program opens a new message to support.
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + SupportAddress));
}

void frmAbout::cmdOK_Click() { unload(); }

void frmAbout::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmAbout::reject() { cmdOK_Click(); }

} // namespace vt
