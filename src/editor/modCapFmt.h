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
bool appendActiveCFile(const QString &text);

} // namespace vt
