// Page setup and printing of CFiles: the print margins in the page-setup
// dialog, and a rich-text box printed page by page on the current printer
// with those margins.
#pragma once

#include <QString>
#include <cstdint>

class QPrinter;

namespace vt {

class RichTextBox;

// The main window's page setup: the four print margins of PrnMargins
// (thousandths of an inch) in the page-setup dialog. A cancelled dialog
// changes nothing.
void getPrnMargins();

// Prints the whole text of `box` on the current printer, one sheet per
// formatted page, with margins in thousandths of an inch measured from the
// sheet's edges. Failures are reported ("modAPI\PrintRTF") and abort the job;
// margins that leave no room for a line are one of them, found before the
// printer is given anything.
void PrintRTF(RichTextBox *box, int32_t &left, int32_t &top, int32_t &right, int32_t &bottom);

// A margin in thousandths of an inch as twips, held within a range that no
// page reaches, so that any stored value converts.
int marginTwips(int32_t thousandths);

// Settles where a file printer writes before a job: the file named by the
// setting PrintFile of section "frmMDI" (default: defaultPdfFile()). A file
// the user named in the printer dialog becomes that setting.
void preparePrinter(QPrinter &printer);
// The file a file printer writes to.
QString printFileName();
// Tells the user where a finished job went: the main window's status bar,
// until its next message, and a line on standard error, the program's log.
void tellPrinted(QPrinter &printer, int pages);
// After the printer dialog: a PDF file named there becomes the file prints go
// to, and the status bar names it (or says that its folder does not exist).
void printerChosen(QPrinter &printer);

} // namespace vt
