// The program's printer: the one printer object that page setup, the printer
// dialog, wrapping at the page width, printing and the print preview share.
// With no printer installed it is a PDF file printer, so printing still
// produces a file (its name is the caller's to choose; defaultPdfFile() is a
// place in the user's documents folder).
//
// Lengths are twips (1/1440 inch). A print job draws with its painter's origin
// at the corner of the printable area, as the platform's printers did.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QPainter;
class QPrinter;

namespace vt {

// The current printer, made on first use from the system's default printer.
QPrinter &Printer();
// True when the system has a real printer; the PDF stand-in does not count.
bool printerInstalled();
// Names of the installed printers.
QStringList printerNames();
// Points `printer` (the program's, or the one a printer dialog works on) at
// the installed printer of that name (any case). False, and nothing changes,
// when no printer has that name.
bool setPrinterByName(QPrinter &printer, const QString &name);
// The paper width of the current printer, in twips.
int printerPageWidthTwips();

// The printer's device name; "PDF file" for a printer that writes a file.
QString printerDeviceName(const QPrinter &printer);
// True when the printer writes a PDF file rather than sending to a device.
bool printsToFile(const QPrinter &printer);
// <documents folder>/Vantrell print.pdf; the home folder in place of a
// documents folder that does not exist.
QString defaultPdfFile();

// Orientation as the program numbers it: 1 portrait, 2 landscape.
int printerOrientation(const QPrinter &printer);
// Anything but 2 is portrait.
void setPrinterOrientation(QPrinter &printer, int orientation);

// A printer's sheet, twips, each rounded to a whole twip (halves to even):
// the whole sheet, the area it can draw on, and where that area starts on
// the sheet (its physical offsets, read in device pixels).
struct PageGeometry {
    int pageWidth = 0;
    int pageHeight = 0;
    int printableWidth = 0;
    int printableHeight = 0;
    int offsetX = 0;
    int offsetY = 0;
};
PageGeometry pageGeometry(const QPrinter &printer);

// One document on a printer: begin, pages, end or abort. Every failure raises
// error 482 ("Printer error") with the reason. A job that is destroyed while
// open is aborted.
class PrintJob {
public:
    explicit PrintJob(QPrinter &printer);
    ~PrintJob();
    PrintJob(const PrintJob &) = delete;
    PrintJob &operator=(const PrintJob &) = delete;

    // Starts the document; the first page is open afterwards. A printer that
    // writes a file whose folder does not exist refuses, naming the folder.
    // A file that cannot be written (a full disk among others) is named with
    // the system's reason, at the start, a new page or the end.
    void begin(const QString &documentName = {});
    void newPage();
    // Ends the document, which sends it to the printer (or finishes the file).
    void end();
    // Drops the document. Where the device cannot take back what it was
    // given, the document is ended empty-handed; a file printer's partial
    // file is removed.
    void abort();

    bool active() const;
    int pages() const { return pages_; }
    QPainter &painter();
    QPrinter &printer() { return printer_; }

private:
    QPrinter &printer_;
    std::unique_ptr<QPainter> painter_;
    int pages_ = 0;
};

namespace printer_testing {
// Lets a test behave as on a machine with (true) or without (false) an
// installed printer; the printer itself stays the PDF stand-in.
void setInstalled(bool installed);
// Makes the next newPage() of any job fail, as a device that fails midway.
void failNextNewPage();
void clear();
} // namespace printer_testing

} // namespace vt
