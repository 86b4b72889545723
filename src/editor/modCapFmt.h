// Writing at the end of the active CFile without disturbing the user: the
// selection format that stood at the end is saved before an insertion and put
// back after it, so the text the user types next keeps its format.
#pragma once

#include <QString>
#include <cstdint>

namespace vt {

// 1 saves the selection format of the active CFile (font size, font name,
// colour, bold, italic, underline, strike-through); 2 applies the saved
// format to its current selection; other modes do nothing. An error is shown
// ("Error", the mode, " - sarCFormat/", its description) and ends the call.
void sarCFormat(int16_t mode);

// Inserts text at the end of the active CFile, the format at the end saved
// and restored around it, and leaves the caret at the end. False (nothing
// written) when no CFile is open.
// Received text held back first goes in.
bool appendActiveCFile(const QString &text);

// The receive engine's way into the active CFile in Shoot mode: the same as
// appendActiveCFile, except that text without a line end is held back for a
// moment (a fifth of a second) and written out with what follows: a chunk is
// often one character, and laying out and painting the CFile for each was
// most of what a capture cost. Qt lays a paragraph out whole on every
// change, so a device that ends its lines with LF alone would make each
// chunk cost as much as the whole open line; the changes are also spaced so
// that at most a fifth of the time goes to them, measured on the last one.
// A line end writes out at once, as does anything that reads or changes the
// CFile, a log line, the end of Shoot mode, or the holding time running
// out. False (nothing taken) when no CFile is open.
bool feedActiveCFile(const QString &text);
// Writes out whatever is held back.
void flushCFileFeed();

} // namespace vt
