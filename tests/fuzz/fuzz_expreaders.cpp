// libFuzzer target for the export's text readers: the shot-line reader of a
// CFile and the line readers of the chronograph's download dump. Any text
// must parse without a crash or a hang, and every dump reader must leave its
// position behind where it started or report the line as not read.
#include "export/modExpExc.h"
#include "export/modExpRdr.h"
#include "serial/modRxEngine.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Bytes from the serial line are Latin-1, one byte one character.
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));

    // Every line of the input as a CFile's shot line.
    for (const QString &line : text.split(QLatin1Char('\r'))) {
        vt::CapExport.excLine = line;
        vt::prsCapLine();
    }

    // The dump as the export walks it: a Begin line, shot lines while they
    // read, an End line, again from where that left off.
    using Reader = void (*)(const QString &, int32_t &);
    int32_t pos = 1;
    for (int block = 0; block < 100 && pos <= text.size(); ++block) {
        const int32_t start = pos;
        vt::getMmrBegin(text, pos);
        if (vt::EDiskPrs.prsError)
            break;
        for (Reader read : {Reader(vt::getMmrShot), Reader(vt::getMmrEnd)}) {
            for (int n = 0; n < 1000; ++n) {
                const int32_t before = pos;
                read(text, pos);
                if (vt::EDiskPrs.prsError)
                    break;
                if (pos <= before) {
                    std::fprintf(stderr, "a dump line was read without moving on (at %d)\n", int(before));
                    std::abort();
                }
            }
        }
        if (pos <= start)
            break;
    }
    return 0;
}
