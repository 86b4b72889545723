// A shot on the live link against a shot line into a CFile, measured side by
// side in one run. The same lines of the simulated chronograph (its shots and
// the block ends between them), read before any clock runs, go one way:
// into the active CFile as the receive engine hands received text to it in
// Shoot mode; and the other: queued for the live link and handed over by its
// timer's tick, which writes each shot's row with its statistics into the
// Capture sheet of the linked workbook. Reports the processor time of the
// program's thread per line each way and their ratio, as the median of pairs
// (a round of each, back to back, each pair in the other order than the one
// before) with the spread of the pairs.
//
//   bench_link [--lines N]        (lines per round, default 2000; VT_BENCH_REPS pairs, default 7)

#include "common/benchutil.h"
#include "common/xlfixture.h"

#include "editor/modCapFmt.h"
#include "editor/modDocument.h"
#include "export/modExpExc.h"
#include "chrono/modCroTmr.h"
#include "export/modExpLnk.h"
#include "serial/frmTerminal.h"
#include "serial/modRxEngine.h"
#include "shell/frmMDI.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "tools/modSubsystems.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

using namespace vt;

// Processor time of the calling thread, in seconds.
double threadSeconds()
{
    timespec t {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

std::vector<QString> simulatorLines(int count)
{
    bench::SimShotLines sim;
    QString error;
    if (!sim.start(&error)) {
        std::fprintf(stderr, "The simulated chronograph did not start: %s\n", qPrintable(error));
        std::exit(1);
    }
    std::vector<QString> out;
    while (int(out.size()) < count)
        out.push_back(QString::fromLatin1(sim.next()));
    return out;
}

// Microseconds of the thread per line, the lines into the active CFile as
// received text (each with its line end, one chunk a line).
double cfileRound(const std::vector<QString> &lines)
{
    const double t0 = threadSeconds();
    for (const QString &line : lines)
        feedActiveCFile(line + QStringLiteral("\r\n"));
    flushCFileFeed();
    QCoreApplication::processEvents();
    return 1e6 * (threadSeconds() - t0) / double(lines.size());
}

// The same for the live link: each line queued as the receive engine queues
// a completed shot line, then handed over by the link timer's tick.
double linkRound(const std::vector<QString> &lines)
{
    const double t0 = threadSeconds();
    for (const QString &line : lines) {
        excQuePush(line);
        tmrExcRtc_Timer();
    }
    QCoreApplication::processEvents();
    return 1e6 * (threadSeconds() - t0) / double(lines.size());
}

int run(int count, int pairs)
{
    const std::vector<QString> lines = simulatorLines(count);
    vttest::seedTemplate();
    installSubsystems();
    frmMDI::get()->show();
    frmTerminal::get()->lodTerminal();
    CreateNewCFile();
    CroSta.croSnsOn = true;
    lnkXlOn();
    if (!xlLinked) {
        std::fprintf(stderr, "The live link did not come on\n");
        return 1;
    }
    // The periodic tick is left to the rounds: they hand the lines over themselves.
    lnkTmr().tmrExcRtc.setEnabled(false);
    lnkTmr().tmrExcEnd.setEnabled(false);
    const int32_t firstRow = XlSes.xlLastRow[4];

    // One round each way first, so that neither side pays for first use.
    cfileRound(lines);
    linkRound(lines);
    std::vector<double> cfile, link;
    for (int p = 0; p < pairs; ++p) {
        double c = 0, l = 0;
        if (p % 2 == 0) {
            c = cfileRound(lines);
            l = linkRound(lines);
        } else {
            l = linkRound(lines);
            c = cfileRound(lines);
        }
        cfile.push_back(c);
        link.push_back(l);
    }
    const int32_t rows = XlSes.xlLastRow[4] - firstRow;
    lnkXlOff();
    vttest::resetExport();
    if (rows < count * (pairs + 1) / 2) {
        std::fprintf(stderr, "The live link wrote only %d rows\n", int(rows));
        return 1;
    }
    bench::figure(QStringLiteral("live link"),
                  QStringLiteral("%1 lines of the simulated chronograph a round, %2 pairs of rounds; %3 rows written")
                      .arg(count)
                      .arg(pairs)
                      .arg(rows));
    bench::figure(QStringLiteral("live link CFile line"),
                  QStringLiteral("%1 us of the program's thread per line into the CFile (median of %2)")
                      .arg(bench::median(cfile), 0, 'f', 1)
                      .arg(pairs));
    bench::figure(QStringLiteral("live link shot"),
                  QStringLiteral("%1 us of the program's thread per line over the live link (median of %2)")
                      .arg(bench::median(link), 0, 'f', 1)
                      .arg(pairs));
    bench::figure(QStringLiteral("live link against a CFile line"),
                  bench::pairedRatioText(link, cfile));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return bench::runMain(argc, argv, [](const QStringList &args) {
        int count = 2000;
        if (args.size() >= 3 && args[1] == QLatin1String("--lines"))
            count = args[2].toInt();
        if (count <= 0 || count > 100000) {
            std::fprintf(stderr, "usage: bench_link [--lines N]\n");
            return 2;
        }
        return run(count, bench::repetitions(7));
    });
}
