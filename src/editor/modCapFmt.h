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
//
// The engine says where the unit's lines begin and end. `startsLine`: the
// text begins a line of the unit's; when the CFile's last line holds text
// (a prompt left without its line end, a note typed at the end), a line end
// goes first, so every received line begins one of its own. `openLen`: the
// last this many characters written are a line of the unit's still under
// way. Until it ends, its text goes on into the CFile it began in, and a log
// line written meanwhile goes in before it rather than into its middle.
bool feedActiveCFile(const QString &text, bool startsLine = false, qsizetype openLen = 0);
// Writes out whatever is held back.
void flushCFileFeed();
// A backspace the unit sent takes the last character of the CFile that
// received text goes into, as the terminal box does (a line end is one
// character). Answers that CFile's last line as it then stands.
QString eraseCFileFeed();
// The unit's line under way is given up (the device went away, the port
// closed): it is ended where it stands, so that nothing joins it.
void endCFileLine();
// Before Shoot mode ends for an exchange with the unit: lets a line of the
// unit's that is under way in the CFile arrive whole, letting events run
// until it ends, nothing has come for quietMs, or boundMs have passed. True
// when no line is under way.
bool waitCFileLineEnd(int quietMs, int boundMs);

// The unit's prompts, which it leaves without a line end: "DAT>", "STS>"
// and a menu's "MEN><DAT> 03?".
bool isUnitPrompt(QStringView line);

} // namespace vt
