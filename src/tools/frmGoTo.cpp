#include "tools/frmGoTo.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/richtext.h"
#include "shell/frmMDI.h"
#include "shell/modErrMsgs.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vt {

namespace {
const QString kTitle = QStringLiteral("Vantrell - Go To . . .");
}

frmGoTo::frmGoTo() : QDialog(frmMDI::instance())
{
    setObjectName(QStringLiteral("frmGoTo"));
    setWindowTitle(QStringLiteral("Go To . . ."));
    setModal(false);

    Frame1 = new QGroupBox(QStringLiteral("Select"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    GotoLine = new QRadioButton(QStringLiteral("&Line"), Frame1);
    GotoLine->setObjectName(QStringLiteral("GotoLine"));
    GotoStart = new QRadioButton(QStringLiteral("&Start"), Frame1);
    GotoStart->setObjectName(QStringLiteral("GotoStart"));
    GoToEnd = new QRadioButton(QStringLiteral("End"), Frame1);
    GoToEnd->setObjectName(QStringLiteral("GoToEnd"));
    auto *options = new QVBoxLayout(Frame1);
    options->addWidget(GotoLine);
    options->addWidget(GotoStart);
    options->addWidget(GoToEnd);

    Label1 = new QLabel(QStringLiteral("Line:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtGo = new QLineEdit(this);
    txtGo->setObjectName(QStringLiteral("txtGo"));
    txtGo->setAccessibleName(QStringLiteral("Line:"));
    Label1->setBuddy(txtGo);
    cmdGo = new QPushButton(QStringLiteral("&GO"), this);
    cmdGo->setObjectName(QStringLiteral("cmdGo"));
    cmdGo->setDefault(true);
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(Frame1, 0, 0, 3, 1);
    grid->addWidget(Label1, 0, 1);
    grid->addWidget(txtGo, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdGo);
    buttons->addWidget(cmdClose);
    grid->addLayout(buttons, 2, 1);

    const auto on = [this](QAbstractButton *b, const char *where, void (frmGoTo::*handler)()) {
        connect(b, &QAbstractButton::clicked, this,
                [this, where, handler] { guarded(QString::fromLatin1(where), [this, handler] { (this->*handler)(); }); });
    };
    on(GotoLine, "frmGoTo/GotoLine_Click", &frmGoTo::GotoLine_Click);
    on(GotoStart, "frmGoTo/GotoStart_Click", &frmGoTo::GotoStart_Click);
    on(GoToEnd, "frmGoTo/GoToEnd_Click", &frmGoTo::GoToEnd_Click);
    on(cmdGo, "frmGoTo/cmdGo_Click", &frmGoTo::cmdGo_Click);
    on(cmdClose, "frmGoTo/cmdClose_Click", &frmGoTo::cmdClose_Click);
    connect(txtGo, &QLineEdit::textChanged, this,
            [this] { guarded(QStringLiteral("frmGoTo/txtGo_Change"), [this] { txtGo_Change(); }); });
}

frmGoTo::~frmGoTo() { disconnect(txtGo, nullptr, this, nullptr); }

void frmGoTo::Form_Load()
{
    GotoLine->setChecked(true);
    GotoLine_Click();
}

void frmGoTo::GotoLine_Click()
{
    txtGo->setEnabled(true);
    txtGo_Change();
}

void frmGoTo::GotoStart_Click()
{
    txtGo->setEnabled(false);
    txtGo_Change();
}

void frmGoTo::GoToEnd_Click()
{
    txtGo->setEnabled(false);
    txtGo_Change();
}

void frmGoTo::txtGo_Change() { cmdGo->setEnabled(!txtGo->isEnabled() || !txtGo->text().isEmpty()); }

void frmGoTo::cmdGo_Click()
{
    frmDocument *doc = ActiveForm();
    if (!doc) {
        // The CFile went away while the dialog stayed open.
        shoMsgBox(QStringLiteral("No Open CFile !"), QStringLiteral("Jotrix"), true);
        return;
    }
    RichTextBox *box = doc->rtfText;
    if (GotoLine->isChecked()) {
        int32_t n = 0;
        try {
            // The user's locale first (a decimal comma where that is the
            // custom), then the plain notation.
            const QString text = txtGo->text().trimmed();
            bool ok = false;
            double value = QLocale().toDouble(text, &ok);
            if (!ok)
                value = CDbl(text);
            n = CLng(value - 1);
        } catch (const RtError &e) {
            if (e.number == 13)
                shoMsgBox(QStringLiteral("Not a line number !"), kTitle, true);
            // Any other failure (a number out of range) ends the click quietly.
            return;
        }
        // -1 asks for the line holding the caret; any lower number names no line.
        const int pos = n < -1 ? -1 : box->LineIndex(n);
        if (pos < 0) {
            shoMsgBox(QStringLiteral("Invalid line!"), kTitle, true);
            return;
        }
        box->SetSelStart(pos);
    } else if (GotoStart->isChecked()) {
        box->SetSelStart(0);
    } else {
        box->SetSelStart(box->TextLength());
    }
    box->setFocus();
    unload();
}

void frmGoTo::cmdClose_Click() { unload(); }

void frmGoTo::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmGoTo::reject() { cmdClose_Click(); }

} // namespace vt
