// The program folder: where the notes file, command lists, help pages and
// workbook templates live. $VANTRELL_HOME, else ~/.local/share/vantrell/,
// seeded from the shipped resources on first use (files already there are
// kept, so the user's notes survive).
#pragma once

#include <QString>

namespace vt {

QString programFolder();
// The shipped resources folder (source tree, or share/vantrell next to the binary).
QString resourcesFolder();
// Copies into the program folder every shipped file that is missing there.
void seedProgramFolder();

} // namespace vt
