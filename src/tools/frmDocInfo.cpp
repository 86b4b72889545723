#include "tools/frmDocInfo.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/controls.h"
#include "platform/dateformat.h"
#include "platform/errors.h"
#include "platform/richtext.h"
#include "shell/frmMDI.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMimeDatabase>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace vt {

namespace {

const QString kNoDate = QStringLiteral("00/00/0000 00:00:00");

QLabel *label(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

// One row of a frame's grid: a caption and the value beside it.
struct InfoRow {
    QLabel **caption;
    const char *captionName;
    const char *text;
    QLabel **value;
    const char *valueName;
};

// The frame's rows, one under another.
void infoRows(QGroupBox *frame, std::initializer_list<InfoRow> rows)
{
    auto *grid = new QGridLayout(frame);
    int r = 0;
    for (const InfoRow &row : rows) {
        *row.caption = label(frame, row.captionName, QString::fromLatin1(row.text));
        *row.value = label(frame, row.valueName, {});
        grid->addWidget(*row.caption, r, 0);
        grid->addWidget(*row.value, r++, 1);
    }
}

QString dateText(const QDateTime &when)
{
    return when.isValid() ? formatDateTime(when.toLocalTime(), QStringLiteral("dd/mm/yyyy hh:nn:ss")) : kNoDate;
}

// Words as a reader counts them: runs of characters between blanks.
int wordCount(const QString &text)
{
    int words = 0;
    bool inWord = false;
    for (const QChar c : text) {
        const bool blank = c.isSpace();
        if (!blank && !inWord)
            ++words;
        inWord = !blank;
    }
    return words;
}

} // namespace

frmDocInfo::frmDocInfo() : QDialog(frmMDI::instance())
{
    setObjectName(QStringLiteral("frmDocInfo"));
    setWindowTitle(QStringLiteral("CFile Statistics"));
    setModal(false);

    Picture1 = label(this, "Picture1", {});
    Picture1->setFixedSize(40, 40);
    Label1 = label(this, "Label1", QStringLiteral("Name:"));
    lblName = label(this, "lblName", {});

    buildDatesFrame();
    buildAttributesFrame();

    Frame3 = new QGroupBox(QStringLiteral("Directory Path && Size"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    infoRows(Frame3, {{&Label5, "Label5", "Location:", &lblLocation, "lblLocation"},
                      {&Label6, "Label6", "Size:", &lblSize, "lblSize"}});
    lblLocation->setWordWrap(true);

    Frame4 = new QGroupBox(QStringLiteral("Document"), this);
    Frame4->setObjectName(QStringLiteral("Frame4"));
    infoRows(Frame4, {{&Label7, "Label7", "Words:", &lblWordCount, "lblWordCount"},
                      {&Label8, "Label8", "Lines:", &lblNLines, "lblNLines"},
                      {&Label9, "Label9", "Characters:", &lblChr, "lblChr"}});

    cmdClose = controls::make<QPushButton>(
        this, {QStringLiteral("cmdClose"), QStringLiteral("&Close"), [this] { cmdClose_Click(); }},
        QStringLiteral("frmDocInfo/"));
    cmdClose->setDefault(true);

    auto *grid = new QGridLayout(this);
    auto *head = new QHBoxLayout;
    head->addWidget(Picture1);
    head->addWidget(Label1);
    head->addWidget(lblName, 1);
    grid->addLayout(head, 0, 0, 1, 2);
    grid->addWidget(Frame3, 1, 0, 1, 2);
    grid->addWidget(Frame1, 2, 0);
    grid->addWidget(Frame2, 2, 1);
    grid->addWidget(Frame4, 3, 0);
    grid->addWidget(cmdClose, 3, 1, Qt::AlignBottom | Qt::AlignRight);
}

void frmDocInfo::buildDatesFrame()
{
    Frame1 = new QGroupBox(QStringLiteral("Dates"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label2 = label(Frame1, "Label2", QStringLiteral("Created:"));
    Label3 = label(Frame1, "Label3", QStringLiteral("Modified:"));
    Label4 = label(Frame1, "Label4", QStringLiteral("Accessed:"));
    auto *dates = new QGridLayout(Frame1);
    QLabel *dateLabels[3] = {Label2, Label3, Label4};
    for (int i = 0; i < 3; ++i) {
        // An array of labels: the array helper makes buttons only, so each
        // date's Index is set here.
        lblDate[i] = label(Frame1, "lblDate", kNoDate);
        lblDate[i]->setProperty("Index", i);
        dates->addWidget(dateLabels[i], i, 0);
        dates->addWidget(lblDate[i], i, 1);
    }
}

void frmDocInfo::buildAttributesFrame()
{
    Frame2 = new QGroupBox(QStringLiteral("Attributes"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto *attribs = new QVBoxLayout(Frame2);
    // Numbered from 1, as the attributes are.
    const auto boxes = controls::makeIndexed<QCheckBox>(
        chkAttrib, Frame2, QStringLiteral("chkAttrib"),
        {QStringLiteral("Hidden"), QStringLiteral("System"), QStringLiteral("Read Only"), QStringLiteral("Archive")}, {},
        1);
    for (QCheckBox *box : boxes) {
        // They show the file's attributes; the mouse cannot change them and
        // the keyboard focus passes on to Close.
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        box->installEventFilter(this);
        attribs->addWidget(box);
    }
}

frmDocInfo::~frmDocInfo()
{
    for (int i = 1; i <= 4; ++i)
        chkAttrib[i]->removeEventFilter(this);
}

void frmDocInfo::Form_Load()
{
    frmDocument *doc = ActiveForm();
    if (!doc)
        return;
    iconPath = doc->Caption();
    Picture1_Paint();

    // The text's own figures, whether or not the CFile was ever saved.
    RichTextBox *box = doc->rtfText;
    lblWordCount->setText(QString::number(wordCount(box->Text())));
    lblNLines->setText(QString::number(box->GetLineCount()));
    lblChr->setText(QString::number(box->TextLength()));

    const QFileInfo file(iconPath);
    lblName->setText(file.fileName().isEmpty() ? iconPath : file.fileName());
    if (!file.exists())
        return; // never saved: the file's fields keep their empty texts
    lblLocation->setText(file.absolutePath() + u'/');
    lblSize->setText(QLocale().toString(file.size()) + QStringLiteral(" bytes"));
    lblDate[0]->setText(dateText(file.birthTime()));
    lblDate[1]->setText(dateText(file.lastModified()));
    lblDate[2]->setText(dateText(file.lastRead()));
    chkAttrib[1]->setChecked(file.isHidden());
    chkAttrib[2]->setChecked(!file.isFile());
    chkAttrib[3]->setChecked(!file.isWritable());
    chkAttrib[4]->setChecked(false); // this file system keeps no archive flag
}

void frmDocInfo::Picture1_Paint()
{
    // The icon of the file's type, found by its name and, where it exists, its
    // contents; the stored path stays as it is.
    const QMimeType type = QMimeDatabase().mimeTypeForFile(iconPath);
    iconName = type.iconName();
    QIcon icon = QIcon::fromTheme(iconName, QIcon::fromTheme(type.genericIconName()));
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_FileIcon);
    Picture1->setPixmap(icon.pixmap(32, 32));
}

void frmDocInfo::chkAttrib_GotFocus(int) { cmdClose->setFocus(); }

void frmDocInfo::cmdClose_Click() { unload(); }

void frmDocInfo::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmDocInfo::reject() { cmdClose_Click(); }

bool frmDocInfo::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        for (int i = 1; i <= 4; ++i)
            if (watched == chkAttrib[i])
                guarded(QStringLiteral("frmDocInfo/chkAttrib_GotFocus"), [this, i] { chkAttrib_GotFocus(i); });
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vt
