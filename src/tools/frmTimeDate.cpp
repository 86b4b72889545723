#include "tools/frmTimeDate.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "editor/modEditCommands.h"
#include "platform/dateformat.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/timers.h"
#include "shell/frmMDI.h"
#include "shell/modErrMsgs.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vt {

QStringList standardDateLines(const QDateTime &when)
{
    const auto f = [&](const char *pattern) { return formatDateTime(when, QString::fromLatin1(pattern)); };
    return {f("dd/mm/yy"),
            f("dd mmmm yyyy"),
            f("dd mmmm, yyyy"),
            f("mmmm dd, yyyy"),
            f("dd/mmm/yy"),
            f("mmmm, yy"),
            f("mmm/yy"),
            f("dd/mm/yy") + u' ' + f("hh:mm"),
            f("dd/mm/yy") + u' ' + f("hh:mm:ss"),
            f("hh:mm"),
            f("hh:mm:ss"),
            f("hh:mm AMPM"),
            f("hh:mm:ss AMPM")};
}

frmTimeDate::frmTimeDate() : QDialog(frmMDI::instance())
{
    setObjectName(QStringLiteral("frmTimeDate"));
    setWindowTitle(QStringLiteral("Time and Date"));
    setModal(false);

    const auto button = [](QWidget *parent, const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, parent);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };

    fraStdFormat = new QGroupBox(QStringLiteral("Standard Format"), this);
    fraStdFormat->setObjectName(QStringLiteral("fraStdFormat"));
    lstDates = new QListWidget(fraStdFormat);
    lstDates->setObjectName(QStringLiteral("lstDates"));
    lstDates->setAccessibleName(QStringLiteral("Standard Format"));
    cmdInsert = button(fraStdFormat, "cmdInsert", QStringLiteral("&Insert Standard"));
    auto *std = new QVBoxLayout(fraStdFormat);
    std->addWidget(lstDates);
    std->addWidget(cmdInsert);

    fraCusFormat = new QGroupBox(QStringLiteral("Custom Format"), this);
    fraCusFormat->setObjectName(QStringLiteral("fraCusFormat"));
    txtCustom = new QLineEdit(QStringLiteral("dddd, mmmm d, yyyy hh:nn:ss"), fraCusFormat);
    txtCustom->setObjectName(QStringLiteral("txtCustom"));
    txtCustom->setAccessibleName(QStringLiteral("Custom Format"));
    txtCustom->installEventFilter(this);
    lblSample = new QLabel(fraCusFormat);
    lblSample->setObjectName(QStringLiteral("lblSample"));
    cmdInsCusFor = button(fraCusFormat, "cmdInsCusFor", QStringLiteral("Inser Custo&m"));
    auto *custom = new QVBoxLayout(fraCusFormat);
    custom->addWidget(txtCustom);
    custom->addWidget(lblSample);
    custom->addWidget(cmdInsCusFor);

    cmdUndo = button(this, "cmdUndo", QStringLiteral("&Undo Inser"));
    cmdUndoAll = button(this, "cmdUndoAll", QStringLiteral("Undo &All"));
    // It has no command of its own: each insertion is undone with Undo Inser.
    cmdUndoAll->setEnabled(false);
    cmdUndoAll->setToolTip(QStringLiteral("Undo each insertion with Undo Inser"));
    cmdClose = button(this, "cmdClose", QStringLiteral("&Close"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(fraStdFormat, 0, 0, 2, 1);
    grid->addWidget(fraCusFormat, 0, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdUndo);
    buttons->addWidget(cmdUndoAll);
    buttons->addWidget(cmdClose);
    grid->addLayout(buttons, 1, 1, Qt::AlignBottom);

    const auto on = [this](QPushButton *b, const char *where, void (frmTimeDate::*handler)()) {
        connect(b, &QPushButton::clicked, this,
                [this, where, handler] { guarded(QString::fromLatin1(where), [this, handler] { (this->*handler)(); }); });
    };
    on(cmdInsert, "frmTimeDate/cmdInsert_Click", &frmTimeDate::cmdInsert_Click);
    on(cmdInsCusFor, "frmTimeDate/cmdInsCusFor_Click", &frmTimeDate::cmdInsCusFor_Click);
    on(cmdUndo, "frmTimeDate/cmdUndo_Click", &frmTimeDate::cmdUndo_Click);
    on(cmdClose, "frmTimeDate/cmdClose_Click", &frmTimeDate::cmdClose_Click);
    connect(lstDates, &QListWidget::itemDoubleClicked, this,
            [this] { guarded(QStringLiteral("frmTimeDate/lstDates_DblClick"), [this] { lstDates_DblClick(); }); });
}

frmTimeDate::~frmTimeDate()
{
    txtCustom->removeEventFilter(this);
    disconnect(lstDates, nullptr, this, nullptr);
}

void frmTimeDate::Form_Load()
{
    // The moment of opening; the list stays as it is while the window is open.
    lstDates->addItems(standardDateLines(now()));
    showSample();
    InsertDone = false;
    InsertCount = 0;
    cmdUndo->setEnabled(false);
}

bool frmTimeDate::insertText(const QString &text)
{
    frmDocument *doc = ActiveForm();
    if (!doc) {
        shoMsgBox(QStringLiteral("No Open CFile !"), QStringLiteral("Jotrix"), true);
        return false;
    }
    doc->rtfText->SetSelText(text);
    return true;
}

void frmTimeDate::countInsert()
{
    InsertCount = int16_t(InsertCount + 1);
    InsertDone = true;
    cmdUndo->setEnabled(InsertCount >= 1);
}

void frmTimeDate::cmdInsert_Click()
{
    // With no line chosen there is nothing to insert, and the selection stays.
    QListWidgetItem *item = lstDates->currentItem();
    if (!item || !item->isSelected())
        return;
    if (insertText(item->text()))
        countInsert();
}

void frmTimeDate::lstDates_DblClick()
{
    // Inserted, but neither counted nor offered for Undo Inser.
    if (QListWidgetItem *item = lstDates->currentItem())
        insertText(item->text());
}

void frmTimeDate::cmdInsCusFor_Click()
{
    if (insertText(lblSample->text()))
        countInsert();
}

void frmTimeDate::cmdUndo_Click()
{
    if (!InsertDone)
        return;
    if (InsertCount >= 2) {
        MsgBox(QStringLiteral("Can not undo insert.!\r\nThere are to many insers."), vbOKOnly);
        return;
    }
    InsertCount = int16_t(std::max(0, InsertCount - 1));
    InsertDone = InsertCount >= 1;
    mnuEditUndo_Click();
    cmdUndo->setEnabled(InsertCount >= 1);
}

void frmTimeDate::showSample() { lblSample->setText(formatDateTime(now(), txtCustom->text())); }

void frmTimeDate::txtCustom_KeyPress() { showSample(); }

void frmTimeDate::txtCustom_MouseDown() { showSample(); }

void frmTimeDate::cmdClose_Click() { unload(); }

void frmTimeDate::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmTimeDate::reject() { cmdClose_Click(); }

bool frmTimeDate::eventFilter(QObject *watched, QEvent *event)
{
    // The sample follows the text as it stood before the key reached the box.
    if (watched == txtCustom) {
        if (event->type() == QEvent::KeyPress)
            guarded(QStringLiteral("frmTimeDate/txtCustom_KeyPress"), [this] { txtCustom_KeyPress(); });
        else if (event->type() == QEvent::MouseButtonPress)
            guarded(QStringLiteral("frmTimeDate/txtCustom_MouseDown"), [this] { txtCustom_MouseDown(); });
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vt
