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
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Why the file a printer writes cannot take more bytes, in the system's words;
// empty when it can. The PDF writer keeps its file's errors to itself, so
// after a failure the file is tried once more: a block appended and taken
// back again (a file that is not a plain file keeps nothing of it).
QString writeProblem(const QString &path, bool *diskFull)
{
    *diskFull = false;
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    struct stat st = {};
    const bool plain = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const std::vector<char> block(64 * 1024, 0);
    int err = 0;
    if (::write(fd, block.data(), block.size()) < 0 || ::fsync(fd) != 0)
        err = errno;
    if (plain && ::ftruncate(fd, st.st_size) != 0 && err == 0)
        err = errno;
    ::close(fd);
    if (err == 0)
        return {};
    *diskFull = err == ENOSPC || err == EDQUOT;
    return QString::fromLocal8Bit(std::strerror(err));
}

// The message for a file printer that failed on its file.
[[noreturn]] void fileError(const QString &path, const QString &otherwise)
{
    bool full = false;
    const QString why = writeProblem(path, &full);
    const QString file = QDir::toNativeSeparators(path);
    if (full)
        printerError(QStringLiteral("the disk is full: the PDF file ") + file + QStringLiteral(" cannot be written (")
                     + why + QStringLiteral("). Nothing was printed; make room on the disk or choose another file."));
    if (!why.isEmpty())
        printerError(QStringLiteral("the PDF file ") + file + QStringLiteral(" cannot be written (") + why
                     + QStringLiteral("). Nothing was printed."));
    printerError(otherwise);
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
    // The home folder where there is no documents folder: prints never make
    // folders of their own.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
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
        // A folder is never made behind the user's back: a mistyped name
        // would leave the file where nobody looks.
        const QFileInfo file(printer_.outputFileName());
        if (!QFileInfo(file.absolutePath()).isDir())
            printerError(QStringLiteral("the folder ") + QDir::toNativeSeparators(file.absolutePath())
                         + QStringLiteral(" of the PDF file ") + QDir::toNativeSeparators(file.absoluteFilePath())
                         + QStringLiteral(" does not exist. Nothing was printed; choose another file in File > Print > "
                                          "Printer."));
    }
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(&printer_)) {
        painter_.reset();
        if (printsToFile(printer_)) {
            const QString file = QDir::toNativeSeparators(printer_.outputFileName());
            bool full = false;
            // The file could not be opened: the system's reason from a try of our own.
            QFile probe(printer_.outputFileName());
            const bool existed = probe.exists();
            QString why;
            if (!probe.open(QIODevice::WriteOnly | QIODevice::Append))
                why = probe.errorString();
            else {
                probe.close();
                why = writeProblem(printer_.outputFileName(), &full);
                if (!existed)
                    probe.remove();
            }
            printerError(QStringLiteral("the PDF file ") + file + QStringLiteral(" cannot be written")
                         + (why.isEmpty() ? QString() : QStringLiteral(" (") + why + u')') + u'.');
        }
        printerError(QStringLiteral("the printer ") + printerDeviceName(printer_)
                     + QStringLiteral(" cannot start a document."));
    }
    pages_ = 1;
}

void PrintJob::newPage()
{
    if (!active())
        printerError(QStringLiteral("no document is open."));
    if (std::exchange(failNewPage(), false) || !printer_.newPage()) {
        const QString otherwise = QStringLiteral("the printer ") + printerDeviceName(printer_)
            + QStringLiteral(" cannot start a new page.");
        if (printsToFile(printer_))
            fileError(printer_.outputFileName(), otherwise);
        printerError(otherwise);
    }
    ++pages_;
}

void PrintJob::end()
{
    if (!active())
        printerError(QStringLiteral("no document is open."));
    const bool ok = painter_->end();
    painter_.reset();
    const QString otherwise = QStringLiteral("the document could not be finished on ")
        + printerDeviceName(printer_) + QStringLiteral(".");
    if (!ok || printer_.printerState() == QPrinter::Error) {
        if (printsToFile(printer_))
            fileError(printer_.outputFileName(), otherwise);
        printerError(otherwise);
    }
    // The PDF writer does not tell when its bytes did not reach the disk:
    // the file is tried again before the job counts as printed.
    if (printsToFile(printer_)) {
        bool full = false;
        if (!writeProblem(printer_.outputFileName(), &full).isEmpty())
            fileError(printer_.outputFileName(), otherwise);
    }
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
    // Only a plain file is ours to remove: a device named as the output
    // (/dev/full, /dev/null) stays.
    struct stat st = {};
    if (!aborted && printsToFile(printer_) && !printer_.outputFileName().isEmpty()
        && ::stat(QFile::encodeName(printer_.outputFileName()).constData(), &st) == 0 && S_ISREG(st.st_mode))
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
