#include "tools/modPrint.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/longwork.h"
#include "platform/msgbox.h"
#include "platform/printer.h"
#include "platform/richtext.h"
#include "platform/settings.h"
#include "shell/epCmDlg.h"
#include "shell/frmMDI.h"
#include "shell/modErrMsgs.h"
#include "shell/modNeighbours.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <algorithm>
#include <cstdio>
#include <memory>

namespace vt {

namespace {

constexpr int kCancelSelected = 32755;
constexpr int PSD_MARGINS = 0x2;
const QString kSection = QStringLiteral("frmMDI");
const QString kPrintFile = QStringLiteral("PrintFile");

// The file name this module last gave the printer; any other name on it came
// from the printer dialog.
QString &appliedFile()
{
    static QString name;
    return name;
}

// The progress of a long job, with its Cancel; shown only when the job takes
// a while.
class JobProgress {
public:
    JobProgress(int pages, const QString &document) : pages_(pages), document_(document) {}

    // False when the user or the end of the session stopped the job.
    bool step(int page)
    {
        if (pages_ < 2)
            return !longwork::stopRequested();
        if (!box_) {
            box_ = std::make_unique<QProgressDialog>(QString(), QStringLiteral("Cancel"), 0, pages_,
                                                     frmMDI::instance());
            box_->setObjectName(QStringLiteral("prgPrint"));
            box_->setWindowTitle(QStringLiteral("Vantrell - Printing"));
            box_->setAccessibleName(box_->windowTitle());
            if (auto *cancel = box_->findChild<QPushButton *>())
                cancel->setAccessibleName(QStringLiteral("Cancel"));
            box_->setWindowModality(Qt::ApplicationModal);
            box_->setMinimumDuration(700);
        }
        box_->setLabelText(QStringLiteral("Printing ") + document_ + QStringLiteral(": page ") +
                           QString::number(page) + QStringLiteral(" of ") + QString::number(pages_));
        box_->setValue(page - 1); // lets events run: windows stay painted, Cancel can be clicked
        return !box_->wasCanceled() && !longwork::stopRequested();
    }

private:
    int pages_;
    QString document_;
    std::unique_ptr<QProgressDialog> box_;
};

[[noreturn]] void noRoom()
{
    raise(482, QStringLiteral("Printer error: the print margins leave no room for a line of text on the page. "
                              "Nothing was printed; set smaller margins in Page Setup."));
}

} // namespace

int marginTwips(int32_t thousandths)
{
    return CLng(std::clamp(thousandths * 1440.0 / 1000.0, -1e9, 1e9));
}

void getPrnMargins()
{
    Err.Clear();
    const bool ok = trapErrors([] {
        cmDlg.Flags = PSD_MARGINS;
        cmDlg.MarginLeft = PrnMargins.Left;
        cmDlg.MarginRight = PrnMargins.Right;
        cmDlg.MarginTop = PrnMargins.Top;
        cmDlg.MarginBottom = PrnMargins.Bottom;
        cmDlg.CancelError = true;
        cmDlg.ShowPageSetup();
        // The dialog gives back no orientation; the record keeps the empty answer.
        PrnMargins.Orientation = 0;
        PrnMargins.Left = cmDlg.MarginLeft;
        PrnMargins.Right = cmDlg.MarginRight;
        PrnMargins.Top = cmDlg.MarginTop;
        PrnMargins.Bottom = cmDlg.MarginBottom;
    });
    if (ok)
        return;
    if (Err.Number != kCancelSelected)
        errLoc(QStringLiteral("frmMDI/getPrnMargins"));
    Err.Clear();
}

QString printFileName()
{
    const QString stored = GetSetting(AppTitle, kSection, kPrintFile);
    return stored.trimmed().isEmpty() ? defaultPdfFile() : stored;
}

void preparePrinter(QPrinter &printer)
{
    if (!printsToFile(printer))
        return;
    const QString named = printer.outputFileName();
    if (!named.isEmpty() && named != appliedFile())
        SaveSetting(AppTitle, kSection, kPrintFile, named);
    appliedFile() = printFileName();
    printer.setOutputFileName(appliedFile());
}

void tellPrinted(QPrinter &printer, int pages)
{
    frmMDI *mdi = frmMDI::instance();
    if (!mdi || !mdi->SXB)
        return;
    QString text = QString::number(pages) + (pages == 1 ? QStringLiteral(" page") : QStringLiteral(" pages"));
    text += printsToFile(printer) ? QStringLiteral(" printed to the PDF file ")
                                        + QDir::toNativeSeparators(QFileInfo(printer.outputFileName()).absoluteFilePath())
                                  : QStringLiteral(" sent to ") + printerDeviceName(printer);
    std::fprintf(stderr, "vantrell: %s\n", qPrintable(text));
    // Kept until the next message: a job that ends while the user looks
    // elsewhere still says where it went.
    mdi->SXB->showMessage(text);
}

void printerChosen(QPrinter &printer)
{
    if (!printsToFile(printer))
        return;
    preparePrinter(printer);
    frmMDI *mdi = frmMDI::instance();
    if (!mdi || !mdi->SXB)
        return;
    const QFileInfo file(printer.outputFileName());
    mdi->SXB->showMessage(
        file.absoluteDir().exists()
            ? QStringLiteral("Printing goes to the PDF file ") + QDir::toNativeSeparators(file.absoluteFilePath())
            : QStringLiteral("The folder ") + QDir::toNativeSeparators(file.absolutePath())
                + QStringLiteral(" of the PDF file does not exist: choose another file before printing"));
}

void PrintRTF(RichTextBox *box, int32_t &left, int32_t &top, int32_t &right, int32_t &bottom)
{
    Err.Clear();
    QPointer<RichTextBox> guard(box);
    QPrinter &printer = Printer();
    PrintJob job(printer);
    bool cancelled = false;
    const bool ok = trapErrors([&] {
        if (!box)
            raise(91);
        preparePrinter(printer);
        const PageGeometry g = pageGeometry(printer);
        // Measured from the printable area's corner, where the printer draws.
        const QRect rc(QPoint(marginTwips(left) - g.offsetX, marginTwips(top) - g.offsetY),
                       QPoint(g.pageWidth - marginTwips(right) - g.offsetX - 1,
                              g.pageHeight - marginTwips(bottom) - g.offsetY - 1));
        const int textLen = box->TextLength();
        // The pages are counted before the printer gets anything: a page
        // without room for one line would otherwise stop the job halfway,
        // and most printers cannot take back the pages already sent.
        int pages = 1;
        for (int at = 0;;) {
            const int next = box->FormatRange(nullptr, rc, at, textLen);
            if (textLen > 0 && next <= at)
                noRoom();
            if (next >= textLen)
                break;
            at = next;
            ++pages;
        }
        longwork::Scope working;
        const frmDocument *doc = ActiveForm();
        const QString name = doc && doc->rtfText == box ? doc->Caption() : QStringLiteral("CFile");
        JobProgress progress(pages, QFileInfo(name).fileName());
        job.begin(name);
        int at = 0;
        for (int page = 1;; ++page) {
            if (!progress.step(page) || !guard) {
                cancelled = true;
                return;
            }
            const int next = box->FormatRange(&job.painter(), rc, at, textLen);
            if (next >= textLen)
                break;
            if (next <= at)
                noRoom(); // the text changed under the job and a line no longer fits
            at = next;
            job.newPage();
        }
        job.end();
        tellPrinted(printer, job.pages());
    });
    if (guard)
        guard->FormatRangeDone();
    if (ok && !cancelled)
        return;
    job.abort();
    if (cancelled) {
        if (frmMDI *mdi = frmMDI::instance(); mdi && mdi->SXB)
            mdi->SXB->showMessage(QStringLiteral("Printing cancelled"), 15000);
        return;
    }
    errLoc(QStringLiteral("modAPI\\PrintRTF"));
    Err.Clear();
}

} // namespace vt
