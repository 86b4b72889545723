// The program's printer: the one printer object that page setup, the printer
// dialog, wrapping at the page width and printing share. With no printer
// installed it is a PDF file printer, so printing still produces a file.
#pragma once

#include <QString>
#include <QStringList>

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

namespace printer_testing {
// Lets a test behave as on a machine with (true) or without (false) an
// installed printer; the printer itself stays the PDF stand-in.
void setInstalled(bool installed);
void clear();
} // namespace printer_testing

} // namespace vt
