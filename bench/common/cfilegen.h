// A CFile of the kind the program writes, for the benchmarks: sessions of
// shot lines from the simulated chronograph (velocity and running average set
// off in bold and colour, string statistics in grey), "REM:" and "TAG:" lines
// as the program builds them, a centred title and indented paragraphs with
// tab stops as a user types them, in two fonts.
#pragma once

#include "platform/rtfmodel.h"

#include <QByteArray>

namespace bench {

class SimShotLines;

struct GeneratedCFile {
    vt::rtf::Document document;
    QByteArray rtf;       // the document through our RTF writer
    int sessions = 0;
};

// Whole sessions until the RTF holds at least `target` bytes.
GeneratedCFile generateCFile(qint64 target, SimShotLines &shots);

} // namespace bench
