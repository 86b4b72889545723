// The panel's four command lists, read from the command-list file
// vantcmds.ini: one entry a line, each a key to send and its label.
#pragma once

#include <QList>
#include <QString>

#include <cstdint>

namespace vt {

struct RemCmdEntry {
    int16_t list = 0; // 0 to 3
    int16_t code = 0; // the character code the entry sends
    QString label;    // indented label as the list shows it
};

// One line's verdict: skipped (comment, separator or short line), an entry,
// or the sum of its errors (10 no "." in column 1, 100 list outside 0..3,
// 1000 indent above 40). Throws RtError when the indent is not a number.
struct RemCmdLine {
    bool skipped = false;
    int errSum = 0;
    RemCmdEntry entry;
};
RemCmdLine parseRemCmdLine(const QString &line);

// Where the file is looked for: the current folder, then the program folder.
QString remCmdsPath();

// Reads the whole file into the lists. Stops at the first bad line with the
// "RemCtr-Err:" box; a missing or unreadable file gives the "File: " box.
// The entries read before a failure are kept. Returns the entries.
QList<RemCmdEntry> readRemCmds(const QString &path);

// The most entries a list takes; the entry past it is kept and ends reading.
constexpr int kRemCmdListMax = 100;

} // namespace vt
