// Small file helpers shared by the CFile commands, the notes file, the capture
// log and the spreadsheet export.
#pragma once

#include <QString>
#include <cstdint>

namespace vt {

// The file title of a path: the name without its folder; empty when the path
// names no file (empty, ends in a separator, holds wildcards).
QString GetFTitle(const QString &path);
// Copies source to destination (a file, or a folder to copy into), asking
// before it replaces a file. 0 when done or when the user keeps the existing
// file; 1 when the copy failed (reported through errLoc).
int16_t CopyFile(const QString &source, const QString &destination);
// True when the file opens for reading; false for a folder, a missing or
// unreadable file. Reports nothing.
bool filExist(const QString &path);

} // namespace vt
