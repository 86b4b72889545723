#include "platform/printer.h"

#include "platform/conversions.h"
#include "platform/errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <memory>
#include <optional>
#include <utility>
#include <algorithm>

namespace vt {

namespace {

std::unique_ptr<QPrinter> &slot()
{
    static std::unique_ptr<QPrinter> p;
    return p;
}

std::optional<bool> &installedOverride()
{
    static std::optional<bool> v;
    return v;
}

bool &failNewPage()
{
    static bool fail = false;
    return fail;
}

[[noreturn]] void printerError(const QString &reason)
{
    raise(482, QStringLiteral("Printer error: ") + reason);
}

// The printer must go before the application object does.
void dropPrinter() { slot().reset(); }

} // namespace

QPrinter &Printer()
{
    auto &p = slot();
    if (!p) {
        const QPrinterInfo def = QPrinterInfo::defaultPrinter();
        p = def.isNull() ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                         : std::make_unique<QPrinter>(def, QPrinter::HighResolution);
        if (def.isNull())
            p->setOutputFormat(QPrinter::PdfFormat);
        qAddPostRoutine(dropPrinter);
    }
    return *p;
}

bool printerInstalled()
{
    if (installedOverride())
        return *installedOverride();
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

QStringList printerNames() { return QPrinterInfo::availablePrinterNames(); }

bool setPrinterByName(QPrinter &printer, const QString &name)
{
    const QString wanted = name.trimmed().toUpper();
    bool found = false;
    // Every match is applied, so the last one wins, as the platform's printer
    // list did it.
    for (const QString &n : printerNames())
        if (n.toUpper() == wanted) {
            printer.setPrinterName(n);
            found = true;
        }
    return found;
}

int printerPageWidthTwips()
{
    const QRectF paper = Printer().pageLayout().fullRect(QPageLayout::Millimeter);
    return qRound(paper.width() * 1440.0 / 25.4);
}

QString printerDeviceName(const QPrinter &printer)
{
    return printsToFile(printer) || printer.printerName().isEmpty() ? QStringLiteral("PDF file") : printer.printerName();
}

bool printsToFile(const QPrinter &printer) { return printer.outputFormat() == QPrinter::PdfFormat; }

QString defaultPdfFile()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir(folder).filePath(QStringLiteral("Vantrell print.pdf"));
}

int printerOrientation(const QPrinter &printer)
{
    return printer.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
}

void setPrinterOrientation(QPrinter &printer, int orientation)
{
    printer.setPageOrientation(orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
}

PageGeometry pageGeometry(const QPrinter &printer)
{
    const QPageLayout layout = printer.pageLayout();
    const QRectF sheet = layout.fullRect(QPageLayout::Point);
    const QRectF paint = layout.paintRect(QPageLayout::Point);
    const int dpi = std::max(1, printer.resolution());
    const QRect paintPx = layout.paintRectPixels(dpi);
    PageGeometry g;
    g.pageWidth = CLng(sheet.width() * 20.0); // 20 twips to the point
    g.pageHeight = CLng(sheet.height() * 20.0);
    g.printableWidth = CLng(paint.width() * 20.0);
    g.printableHeight = CLng(paint.height() * 20.0);
    g.offsetX = CLng(paintPx.left() * 1440.0 / dpi);
    g.offsetY = CLng(paintPx.top() * 1440.0 / dpi);
    return g;
}

// --- print jobs ----------------------------------------------------------------

PrintJob::PrintJob(QPrinter &printer) : printer_(printer) {}

PrintJob::~PrintJob()
{
    if (active())
        trapErrors([this] { abort(); });
}

bool PrintJob::active() const { return painter_ && painter_->isActive(); }

QPainter &PrintJob::painter()
{
    if (!active())
        printerError(QStringLiteral("no document is open."));
    return *painter_;
}

void PrintJob::begin(const QString &documentName)
{
    if (active())
        printerError(QStringLiteral("a document is already open."));
    if (!documentName.isEmpty())
        printer_.setDocName(documentName);
    if (printsToFile(printer_)) {
        if (printer_.outputFileName().isEmpty())
            printer_.setOutputFileName(defaultPdfFile());
        const QFileInfo file(printer_.outputFileName());
        if (!QDir().mkpath(file.absolutePath()))
            printerError(QStringLiteral("the folder ") + QDir::toNativeSeparators(file.absolutePath()) +
                         QStringLiteral(" cannot be made."));
    }
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(&printer_)) {
        painter_.reset();
        printerError(printsToFile(printer_)
                         ? QStringLiteral("the file ") + QDir::toNativeSeparators(printer_.outputFileName()) +
                               QStringLiteral(" cannot be written.")
                         : QStringLiteral("the printer ") + printerDeviceName(printer_) +
                               QStringLiteral(" cannot start a document."));
    }
    pages_ = 1;
}

void PrintJob::newPage()
{
    if (!active())
        printerError(QStringLiteral("no document is open."));
    if (std::exchange(failNewPage(), false) || !printer_.newPage())
        printerError(QStringLiteral("the printer ") + printerDeviceName(printer_) +
                     QStringLiteral(" cannot start a new page."));
    ++pages_;
}

void PrintJob::end()
{
    if (!active())
        printerError(QStringLiteral("no document is open."));
    const bool ok = painter_->end();
    painter_.reset();
    if (!ok || printer_.printerState() == QPrinter::Error)
        printerError(QStringLiteral("the document could not be finished on ") + printerDeviceName(printer_) +
                     QStringLiteral("."));
}

void PrintJob::abort()
{
    if (!painter_)
        return;
    // Not every device can take a job back; then the painter is ended and, for
    // a file, the partial file goes.
    const bool aborted = printer_.abort();
    if (painter_->isActive())
        painter_->end();
    painter_.reset();
    if (!aborted && printsToFile(printer_) && !printer_.outputFileName().isEmpty())
        QFile::remove(printer_.outputFileName());
}

namespace printer_testing {
void setInstalled(bool installed) { installedOverride() = installed; }
void failNextNewPage() { failNewPage() = true; }
void clear()
{
    installedOverride().reset();
    failNewPage() = false;
    slot().reset();
}
} // namespace printer_testing

} // namespace vt
