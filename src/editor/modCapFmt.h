// Writing at the end of the active CFile without disturbing the user: the
// selection format that stood at the end is saved before an insertion and put
// back after it, so the text the user types next keeps its format.
#pragma once

#include <QString>
#include <cstdint>

namespace vt {

class frmDocument;

// 1 saves the selection format of the active CFile (font size, font name,
// colour, bold, italic, underline, strike-through); 2 applies the saved
// format to its current selection; other modes do nothing. An error is shown
// ("Error", the mode, " - sarCFormat/", its description) and ends the call.
void sarCFormat(int16_t mode);

// Inserts text at the end of the active CFile, the format at the end saved
// and restored around it. The caret follows the end when it stood there;
// a caret or selection elsewhere (the user reading, or a Find's hit) stays
// where it is. False (nothing written) when no CFile is open.
// Received text held back first goes in.
bool appendActiveCFile(const QString &text);
// The same into a given CFile (false when it is null).
bool appendToCFile(frmDocument *doc, const QString &text);

// The CFile that takes what the chronograph sends while Shoot mode is on: the
// CFile that was active when the session began, or the one the user picked
// since (the panel's list of CFiles for shots, or a CFile's own pop-up menu).
// A download into another CFile, an export or a click into another CFile
// does not move it. Null outside a session or once its CFile is closed.
frmDocument *shotCFile();
// Makes doc the session's CFile; text held back for the last one goes there
// first. The marks follow at once.
void setShotCFile(frmDocument *doc);
// The refresh of the indicators tells where the session stands: with Shoot
// mode on and no CFile taken yet (or the one taken closed), the active CFile
// becomes the session's; with Shoot mode off and no operation holding it off
// for a moment (busy), the session ends. The receiving CFile's window title
// carries the shots mark and the status bar names it while Shoot mode is on.
void seeShotCFile(bool shoot, bool busy);
// The mark a receiving CFile's window title carries behind its caption.
inline const QString kShotMark = QStringLiteral(" {Shots}");

// Where the chronograph operations' log lines go: the session's CFile while
// there is one, else the active CFile; null when none is open.
frmDocument *logCFile();
// appendActiveCFile into logCFile().
bool appendLogCFile(const QString &text);

// The receive engine's way into the session's CFile (without one yet, the
// active CFile becomes it) in Shoot mode: the same as
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
