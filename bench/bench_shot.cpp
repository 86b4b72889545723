// The road of a shot: the simulated chronograph, its sensors armed, sends
// shots on its pty; the program's link port receives them and the receive
// engine writes them, Shoot mode on, at the end of a CFile that already holds
// some megabytes. Reports shot lines per second, the processor time the
// program's thread spends per received line, and the time from a line's last
// byte arriving at the port to that line standing at the end of the CFile
// (median and 99th percentile).
//
// Two ways to send: at full speed (no pacing, 10,000 shots by default), which
// measures throughput; or --paced, as a shooter's session goes: one shot every
// 300 ms, the line at the wire's rate of 4800 baud, one character per write,
// which measures what the program costs while it waits for the next
// character. With several CFile sizes (--sizes 1,10,50) each size's processor
// time per line is compared with the first size's, measured in the same run:
// the cost of a received line must not grow with the CFile. --max-ratio and
// --max-busy turn those figures into a pass or fail (exit code 3).
//
// The simulator runs on a thread of its own, as a chronograph on the far end
// of a cable would: it writes while the program reads. A line "arrives" when
// the simulator's write of its last byte into the pty has returned.
//
//   bench_shot [--shots N] [--sizes MB,MB,...] [--paced] [--every MS]
//              [--max-ratio R] [--max-busy PERCENT]   (VT_BENCH_REPS repetitions, default 3)

#include "common/benchutil.h"
#include "common/cfilegen.h"
#include "common/shootmode.h"
#include "common/simthread.h"

#include "chrono/modChronoNbr.h"
#include "chrono/modCroCap.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "editor/modEditorNbr.h"
#include "platform/answers.h"
#include "platform/richtext.h"
#include "platform/serialport.h"
#include "serial/frmTerminal.h"
#include "export/modExpNbr.h"
#include "notes/modNotesNbr.h"
#include "remote/modRemoteNbr.h"
#include "serial/modSerialNbr.h"
#include "shell/frmMDI.h"
#include "shell/modNeighbours.h"
#include "shell/modStartNbrs.h"
#include "sim/kt4sim.h"
#include "tools/modSubsystems.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QMutex>
#include <QTextBlock>
#include <QTextDocument>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

using Clock = std::chrono::steady_clock;

// Watches the end of the CFile: the moment each shot line stands there,
// complete (its paragraph closed).
class EndWatcher {
public:
    // `complete` runs once every shot line stands there.
    EndWatcher(QTextDocument *doc, int shots, int firstCount, std::function<void()> complete)
        : doc_(doc), firstCount_(firstCount), landed_(size_t(shots)), seen_(size_t(shots), false),
          complete_(std::move(complete))
    {
        next_ = doc_->blockCount() - 1;
        conn_ = QObject::connect(doc_, &QTextDocument::contentsChanged, [this] { scan(); });
    }
    ~EndWatcher() { QObject::disconnect(conn_); }
    int count() const { return count_; }
    int lines() const { return lines_; }
    const std::vector<Clock::time_point> &landed() const { return landed_; }

private:
    void scan()
    {
        const auto now = Clock::now();
        const int complete = doc_->blockCount() - 1;
        for (; next_ < complete; ++next_) {
            const QString text = doc_->findBlockByNumber(next_).text();
            ++lines_;
            if (!text.startsWith(QLatin1String("CAP:")) || text.endsWith(QLatin1String("<End>")))
                continue;
            const int index = (text.mid(4, 5).toInt() - firstCount_ + 100000) % 100000;
            if (index < int(seen_.size()) && !seen_[size_t(index)]) {
                seen_[size_t(index)] = true;
                landed_[size_t(index)] = now;
                ++count_;
                if (count_ == int(seen_.size()) && complete_)
                    complete_();
            }
        }
    }

    QTextDocument *doc_;
    int firstCount_;
    int next_ = 0;
    int count_ = 0, lines_ = 0;
    std::vector<Clock::time_point> landed_;
    std::vector<bool> seen_;
    std::function<void()> complete_;
    QMetaObject::Connection conn_;
};

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Processor time of the calling thread, in seconds.
double threadSeconds()
{
    timespec t {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct Options {
    int shots = 10000;
    std::vector<double> sizesMb{5};
    int everyMs = 0;              // 0: full speed
    double maxRatio = 0;          // 0: not checked
    double maxBusy = 0;           // percent; 0: not checked
};

// The figures of one CFile size, medians over the repetitions.
struct Result {
    double rate = 0, busy = 0, perLine = 0, latencyMedian = 0, latencyP99 = 0;
    int lines = 0;
};

// One size: the CFile loaded afresh for each repetition, then a round of shots.
bool measure(bench::SimThread &sim, vt::frmTerminal *term, const QString &cfilePath, int shots, int reps, int &round,
             Result &out)
{
    std::vector<double> rates, medians, p99s, busy, perLine;
    for (int r = 0; r < reps; ++r) {
        vt::nbrEditor().loadActiveCFile(cfilePath, true);
        vt::RichTextBox *box = vt::ActiveForm()->rtfText;
        box->document()->documentLayout()->documentSize();
        term->txtTerm->SetText(QString());
        QCoreApplication::processEvents();

        sim.fireRound();
        ++round;
        // The first count is known once the round has begun; no events may
        // run before the watcher is there.
        while (!sim.roundStarted(round))
            QThread::usleep(100);
        // The program's thread sleeps in its event loop between chunks, as
        // it does in the program, so its processor time is its own work.
        QEventLoop loop;
        EndWatcher watch(box->document(), shots, sim.firstCount(), [&loop] { loop.quit(); });
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        limit.start(300000);
        const double cpu0 = threadSeconds();
        if (watch.count() < shots)
            loop.exec();
        const double cpu = threadSeconds() - cpu0;
        while (!sim.roundDone(round))
            QThread::msleep(1);
        if (watch.count() < shots) {
            std::fprintf(stderr, "Only %d of %d shot lines reached the CFile\n", watch.count(), shots);
            return false;
        }
        Clock::time_point last = watch.landed()[0];
        std::vector<double> latency;
        latency.reserve(size_t(shots));
        for (int i = 0; i < shots; ++i) {
            last = std::max(last, watch.landed()[size_t(i)]);
            latency.push_back(ms(watch.landed()[size_t(i)] - sim.sent()[size_t(i)]));
        }
        const double seconds = ms(last - sim.started()) / 1000.0;
        rates.push_back(double(shots) / seconds);
        busy.push_back(100.0 * cpu / seconds);
        perLine.push_back(1e6 * cpu / std::max(1, watch.lines()));
        medians.push_back(bench::median(latency));
        p99s.push_back(bench::percentile(latency, 99));
        out.lines = watch.lines();
    }
    out.rate = bench::median(rates);
    out.busy = bench::median(busy);
    out.perLine = bench::median(perLine);
    out.latencyMedian = bench::median(medians);
    out.latencyP99 = bench::median(p99s);
    return true;
}

int run(const Options &o, int reps)
{
    // The CFiles the shots go into, one per size, written before any clock runs.
    std::vector<QString> paths;
    {
        bench::SimShotLines lines;
        QString error;
        if (!lines.start(&error)) {
            std::fprintf(stderr, "The simulated chronograph did not start: %s\n", qPrintable(error));
            return 1;
        }
        for (size_t i = 0; i < o.sizesMb.size(); ++i) {
            const QString path = qEnvironmentVariable("VT_BENCH_DIR") + QStringLiteral("/work/shots-%1.rtf").arg(i);
            const bench::GeneratedCFile cfile = bench::generateCFile(qint64(o.sizesMb[i] * 1024 * 1024), lines);
            if (!bench::writeFile(path, cfile.rtf)) {
                std::fprintf(stderr, "Cannot write %s\n", qPrintable(path));
                return 1;
            }
            paths.push_back(path);
        }
    }

    // The subsystems as the program installs them at start-up.
    vt::installSubsystems();
    vt::frmMDI::get()->show();
    vt::frmTerminal *term = vt::frmTerminal::get();
    term->lodTerminal();

    bench::SimThread sim(o.shots, o.everyMs);
    sim.start();
    const QString port = sim.waitForPort();
    if (port.isEmpty()) {
        std::fprintf(stderr, "The simulated chronograph did not start: %s\n", qPrintable(sim.error()));
        return 1;
    }
    if (!bench::shootModeOn(term, port)) {
        sim.finish();
        sim.wait();
        return 1;
    }

    const QString of = QStringLiteral("median of %1 runs").arg(reps);
    const QString how = o.everyMs > 0
        ? QStringLiteral("one every %1 ms at 4800 baud, one character per write").arg(o.everyMs)
        : QStringLiteral("at full speed");
    int round = 0;
    bool ok = true, passed = true;
    double reference = 0;
    for (size_t i = 0; i < paths.size() && ok; ++i) {
        Result res;
        ok = measure(sim, term, paths[i], o.shots, reps, round, res);
        if (!ok)
            break;
        const QString size = bench::megabytes(QFileInfo(paths[i]).size());
        bench::figure(QStringLiteral("shot road"),
                      QStringLiteral("%1 shots %2 (%3 lines with the string statistics) into a CFile of %4, terminal on")
                          .arg(o.shots)
                          .arg(how)
                          .arg(res.lines)
                          .arg(size));
        bench::figure(QStringLiteral("shot road throughput"), bench::rate(res.rate, "shot lines/s")
                          + QStringLiteral("  (%1; the program's thread busy %2% of the time)")
                                .arg(of)
                                .arg(res.busy, 0, 'f', o.everyMs > 0 ? 2 : 0));
        QString perLine = QString::number(res.perLine, 'f', 1)
            + QStringLiteral(" us of the program's thread per received line  (") + of;
        if (i == 0)
            reference = res.perLine;
        else
            perLine += QStringLiteral("; %1 x the first size's").arg(res.perLine / reference, 0, 'f', 2);
        bench::figure(QStringLiteral("shot road processor time"), perLine + u')');
        // Paced, the simulator notes a line's last write only at its next
        // millisecond tick, by which time the line has mostly landed: no
        // latency to tell.
        if (o.everyMs == 0) {
            bench::figure(QStringLiteral("shot road latency median"),
                          QString::number(res.latencyMedian, 'f', 3) + QStringLiteral(" ms  (") + of + u')');
            bench::figure(QStringLiteral("shot road latency p99"),
                          QString::number(res.latencyP99, 'f', 3) + QStringLiteral(" ms  (") + of + u')');
        }
        if (o.maxBusy > 0 && res.busy > o.maxBusy) {
            bench::figure(QStringLiteral("shot road check"),
                          QStringLiteral("FAILED: busy %1% of a core, more than %2% (CFile of %3)")
                              .arg(res.busy, 0, 'f', 2)
                              .arg(o.maxBusy)
                              .arg(size));
            passed = false;
        }
        if (i > 0 && o.maxRatio > 0 && res.perLine > o.maxRatio * reference) {
            bench::figure(QStringLiteral("shot road check"),
                          QStringLiteral("FAILED: %1 x the first size's processor time per line, more than %2 x (CFile of %3)")
                              .arg(res.perLine / reference, 0, 'f', 2)
                              .arg(o.maxRatio)
                              .arg(size));
            passed = false;
        }
    }
    vt::subCaptureOnOff(0);
    term->subClosePort();
    sim.finish();
    sim.wait();
    if (!ok)
        return 1;
    if (passed && (o.maxBusy > 0 || o.maxRatio > 0))
        bench::figure(QStringLiteral("shot road check"), QStringLiteral("passed"));
    return passed ? 0 : 3;
}

} // namespace

int main(int argc, char **argv)
{
    return bench::runMain(argc, argv, [](const QStringList &args) {
        Options o;
        bool ok = true;
        for (qsizetype i = 1; i < args.size() && ok; ++i) {
            const QString &a = args[i];
            const QString v = args.value(i + 1);
            if (a == QLatin1String("--paced")) {
                o.everyMs = 300;
                if (o.shots == 10000)
                    o.shots = 40;
                continue;
            }
            ++i;
            if (a == QLatin1String("--shots"))
                o.shots = v.toInt(&ok);
            else if (a == QLatin1String("--cfile-mb") || a == QLatin1String("--sizes")) {
                ok = bench::parseSizesMb(v, o.sizesMb);
            } else if (a == QLatin1String("--every"))
                o.everyMs = v.toInt(&ok);
            else if (a == QLatin1String("--max-ratio"))
                o.maxRatio = v.toDouble(&ok);
            else if (a == QLatin1String("--max-busy"))
                o.maxBusy = v.toDouble(&ok);
            else
                ok = false;
        }
        if (!ok || o.shots <= 0 || o.shots > 90000 || o.sizesMb.empty() || o.everyMs < 0) {
            std::fprintf(stderr, "usage: bench_shot [--shots N (up to 90000)] [--sizes MB,MB,...] [--paced] [--every MS]\n"
                                 "                  [--max-ratio R] [--max-busy PERCENT]\n");
            return 2;
        }
        return run(o, bench::repetitions(3));
    });
}
