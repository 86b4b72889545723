#include "tools/frmSymbols.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/rtfwriter.h"
#include "shell/frmMDI.h"
#include "shell/modErrMsgs.h"

#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vt {

namespace {

const char *const kControlNames[32] = {
    "NUL Null", "SOH Start Of Header", "STX Start of Text", "ETX End of Text", "EOT End of Trans.",
    "ENQ Enquiry", "ACK Acknowledge", "BEL Bell", "BS Backspace", "HT Horizontal Tab", "LF Line Feed",
    "VT Vertical Tab", "FF Form Feed", "CR Carriage Return", "SO Shift Out", "SI Shift In",
    "DLE Data Link Escape", "DC1 Control-1 (XON)", "DC2 Control-2", "DC3 Control-3 (XOFF)", "DC4 Control-4",
    "NAK Not Acknowledge", "SYN Synchronous Idle", "ETB End of Block", "CAN Cancel", "EM End of Medium",
    "SUB Substitute", "ESC Escape", "FS File Separator", "GS Group Separator", "RS Record Separator",
    "US Unit Separator"};

QString spaces(int n) { return QString(n, u' '); }

} // namespace

QString symbolLine(int code)
{
    const QString d = QString::number(code);
    const QString h = QString::number(code, 16).toUpper();
    if (code < 32) {
        const QString lead = code < 10 ? spaces(5) : spaces(3);
        const QString hex = code < 16 ? QStringLiteral("0") + h : h;
        return lead + d + spaces(5) + hex + spaces(4) + QStringLiteral("Ctrl-") + QChar(code + 64) + spaces(2) +
               QLatin1String(kControlNames[code]);
    }
    const QString lead = code < 100 ? spaces(3) : spaces(1);
    return lead + d + spaces(5) + h + QStringLiteral("    Print As |") + rtf::cp1252Char(uchar(code)) + u'|';
}

frmSymbols::frmSymbols() : QDialog(frmMDI::instance())
{
    setObjectName(QStringLiteral("frmSymbols"));
    setWindowTitle(QStringLiteral("ASCII Table"));
    setModal(false);

    Frame1 = new QGroupBox(QStringLiteral("  Dec - Hex - Notes"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    lstSymbols = new QListWidget(Frame1);
    lstSymbols->setObjectName(QStringLiteral("lstSymbols"));
    lstSymbols->setAccessibleName(QStringLiteral("Dec - Hex - Notes"));
    auto *frame = new QVBoxLayout(Frame1);
    frame->addWidget(lstSymbols);
    cmdInsert = new QPushButton(QStringLiteral("&Insert"), this);
    cmdInsert->setObjectName(QStringLiteral("cmdInsert"));
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdInsert);
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons);
    resize(420, 420);

    connect(cmdInsert, &QPushButton::clicked, this,
            [this] { guarded(QStringLiteral("frmSymbols/cmdInsert_Click"), [this] { cmdInsert_Click(); }); });
    connect(cmdClose, &QPushButton::clicked, this,
            [this] { guarded(QStringLiteral("frmSymbols/cmdClose_Click"), [this] { cmdClose_Click(); }); });
    connect(lstSymbols, &QListWidget::itemDoubleClicked, this,
            [this] { guarded(QStringLiteral("frmSymbols/lstSymbols_DblClick"), [this] { lstSymbols_DblClick(); }); });
}

frmSymbols::~frmSymbols() { disconnect(lstSymbols, nullptr, this, nullptr); }

void frmSymbols::Form_Load()
{
    if (frmDocument *doc = ActiveForm()) {
        QFont font = lstSymbols->font();
        if (const auto name = doc->rtfText->SelFontName())
            font.setFamily(*name);
        lstSymbols->setFont(font);
    }
    for (int code = 0; code <= 255; ++code)
        lstSymbols->addItem(symbolLine(code));
}

void frmSymbols::cmdInsert_Click()
{
    // With no line chosen nothing is inserted: no character of code 0 and no
    // loss of the selection.
    QListWidgetItem *item = lstSymbols->currentItem();
    if (!item || !item->isSelected())
        return;
    const int code = item->text().mid(1, 5).trimmed().toInt();
    if (code == 0) {
        // A text holds no character of code 0: it would end the CFile's text
        // for anything that reads it as a string.
        MsgBox(QStringLiteral("The character NUL (code 0) cannot be placed in a CFile."), vbOKOnly | vbInformation);
        return;
    }
    frmDocument *doc = ActiveForm();
    if (!doc) {
        shoMsgBox(QStringLiteral("No Open CFile !"), QStringLiteral("Jotrix"), true);
        return;
    }
    doc->rtfText->SetSelText(QString(rtf::cp1252Char(uchar(code))));
}

void frmSymbols::lstSymbols_DblClick() { cmdInsert_Click(); }

void frmSymbols::cmdClose_Click() { unload(); }

void frmSymbols::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmSymbols::reject() { cmdClose_Click(); }

} // namespace vt
