// The common dialogs (open, save, font, colour, page setup, printer) on Qt's
// dialogs. Every one asks through the answering seam, so a script or a test
// answers it with text and no window ever opens:
//   open, save  one path, or several separated by '|' (open with multiple
//               selection); a relative path is taken in the initial folder;
//               empty or "Cancel" cancels
//   font        "Name,Size[,bold][,italic][,underline][,strikeout][,#rrggbb]"
//   color       "#rrggbb", or a colour number (0x00BBGGRR) in decimal or &H hex
//   page        "left,top,right,bottom", each in thousandths of an inch, or
//               with a unit: "25.4mm", "1in"
//   printer     "OK" for the current printer, or a printer's name, either
//               followed by ",copies=N", ",portrait"/",landscape",
//               ",duplex"/",simplex", ",color"/",grayscale", ",paper=A4",
//               ",file=PATH" (print to that PDF file; the rest of the answer,
//               commas included, is the path)
// A question that gets no answer is cancelled. An answer that cannot be read
// cancels too, with a warning on stderr.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

class QPrinter;
class QWidget;

namespace vt::dialogs {

// One entry of the platform's filter text "Text (*.txt)|*.txt|All (*.*)|*.*|".
struct FilterItem {
    QString description;
    QStringList patterns;
};
QList<FilterItem> parseFilter(const QString &barFilter);
// The same filter as Qt's name filters ("Text (*.txt)").
QStringList nameFilters(const QString &barFilter);

struct FileRequest {
    bool save = false;
    bool multiSelect = false;
    bool overwritePrompt = false;
    QString title;
    QString filter;      // platform form, '|'-separated
    int filterIndex = 1; // 1-based
    QString initialDir;
    QString defaultName;
};
// Absolute paths of the chosen files, in the dialog's order; nullopt when cancelled.
std::optional<QStringList> chooseFiles(const FileRequest &request);

struct FontChoice {
    QString name;
    double pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    uint32_t color = 0; // 0x00BBGGRR
};
// minSize/maxSize limit the size chosen (0: no limit).
std::optional<FontChoice> chooseFont(const FontChoice &initial, int minSize = 0, int maxSize = 0);

std::optional<uint32_t> chooseColor(uint32_t initial, const QList<uint32_t> &customColors = {});

// Page margins in thousandths of an inch.
struct Margins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Margins &) const = default;
};
enum class MarginUnit { SystemDefault, Inches, Millimeters };
std::optional<Margins> choosePageMargins(const Margins &margins, MarginUnit shownIn);

// Shows the printer dialog on `printer` (setupOnly: the setup form, without
// page ranges). The choice is applied to it; false when cancelled.
bool choosePrinter(QPrinter &printer, bool setupOnly);

// Exact conversions between thousandths of an inch and millimetres.
double thousandthsToMm(int thousandths);
int mmToThousandths(double mm);

// The window that owns the dialogs: the main window when it is loaded, else
// the active window.
QWidget *owner();

} // namespace vt::dialogs
