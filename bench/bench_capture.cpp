// Capture, whole process: the processor time of a process that captures the
// simulated chronograph's shots at 4800 baud (one shot every 300 ms, each
// line one character per write) into the end of a CFile of some megabytes,
// as a share of one core, beside a bare Qt text box (bench/bare/
// bare_capture.cpp, Qt alone) that holds the same text and receives the same
// lines on a pty of its own.
//
// The program runs in a child process of this benchmark with every subsystem
// installed as start-up installs them, the main window shown, the terminal
// window loaded, the CFile opened and Shoot mode on. Each process is measured
// by the processor time of all its threads (from /proc, in nanoseconds) over
// a window: one round of shots, from the first shot to a moment after the
// last line went out. The windows run in rounds, back to back, each round in
// another order: the program with its terminal window hidden, the bare box,
// the program with its terminal window shown (and, with --ungathered, the
// program with its link port raising an event for every arrival, as it did
// before its reads were gathered). Figures are medians of the rounds' ratios
// with their spread.
//
//   bench_capture [--sizes MB,MB,...] [--shots N] [--ungathered]
//                 (VT_BENCH_REPS rounds, default 5; sizes default 0.5,5,50)

#include "common/benchutil.h"
#include "common/cfilegen.h"
#include "common/shootmode.h"
#include "common/simthread.h"

#include "chrono/modCroCap.h"
#include "chrono/modCroStatus.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "editor/modEditorNbr.h"
#include "platform/richtext.h"
#include "platform/serialport.h"
#include "serial/frmTerminal.h"
#include "shell/frmMDI.h"
#include "shell/modNeighbours.h"
#include "shell/modStartNbrs.h"
#include "tools/modSubsystems.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSocketNotifier>
#include <QTextDocument>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kEveryMs = 300;
// After the last line of a round went out: time for the last line's way
// through either process (the terminal's own hold of unended text is 200 ms).
constexpr int kSettleMs = 400;

// --- the program's side (a child process) ----------------------------------

int programStage(const QString &cfile, const QString &port, bool ungathered)
{
    vt::installSubsystems();
    vt::frmMDI::get()->show();
    vt::frmTerminal *term = vt::frmTerminal::get();
    term->lodTerminal();
    if (ungathered)
        term->MSComm1->setGather(0, {});
    if (!bench::shootModeOn(term, port))
        return 1;
    vt::nbrEditor().loadActiveCFile(cfile, true);
    vt::RichTextBox *box = vt::ActiveForm()->rtfText;
    box->document()->documentLayout()->documentSize();

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buf[256];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        const QByteArray cmd(buf, int(n));
        if (cmd.contains("shown"))
            term->show();
        else if (cmd.contains("hidden"))
            term->hide();
        std::printf("%d\n", box->document()->blockCount());
        std::fflush(stdout);
    });
    std::printf("ready\n");
    std::fflush(stdout);
    const int rc = QCoreApplication::exec();
    vt::subCaptureOnOff(0);
    return rc;
}

// --- the benchmark's side ----------------------------------------------------

// Processor time of every thread of a process, in nanoseconds (-1 when it is gone).
qint64 processCpuNs(qint64 pid)
{
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    const QStringList ids = QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (ids.isEmpty())
        return -1;
    qint64 sum = 0;
    for (const QString &id : ids) {
        QFile f(tasks + u'/' + id + QStringLiteral("/schedstat"));
        if (f.open(QIODevice::ReadOnly))
            sum += f.readAll().split(' ').value(0).toLongLong();
    }
    return sum;
}

// One child process with commands on its standard input, answers on its output.
class Child {
public:
    bool start(const QString &program, const QStringList &args)
    {
        proc_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proc_.start(program, args);
        return proc_.waitForStarted(60000) && answer() == "ready";
    }
    // A command; its answer (the paragraph count of the box).
    int command(const QByteArray &cmd)
    {
        proc_.write(cmd + '\n');
        proc_.waitForBytesWritten(10000);
        return answer().toInt();
    }
    qint64 pid() const { return proc_.processId(); }
    ~Child()
    {
        proc_.closeWriteChannel();
        if (!proc_.waitForFinished(20000)) {
            proc_.kill();
            proc_.waitForFinished(-1);
        }
    }

private:
    QByteArray answer()
    {
        // Loading the largest CFile takes a while on a busy machine.
        while (!proc_.canReadLine())
            if (!proc_.waitForReadyRead(600000))
                return {};
        return proc_.readLine().trimmed();
    }
    QProcess proc_;
};

// Percent of one core that `pid` used over one round of shots.
double window(qint64 pid, bench::SimThread &sim, int &round)
{
    const qint64 cpu0 = processCpuNs(pid);
    const bench::Stopwatch clock;
    sim.fireRound();
    ++round;
    while (!sim.roundDone(round))
        QThread::msleep(2);
    QThread::msleep(kSettleMs);
    const qint64 cpu1 = processCpuNs(pid);
    const double seconds = clock.seconds();
    if (cpu0 < 0 || cpu1 < 0)
        return -1;
    return 100.0 * double(cpu1 - cpu0) / 1e9 / seconds;
}

struct Options {
    std::vector<double> sizesMb{0.5, 5, 50};
    int shots = 20;
    bool ungathered = false;
};

QString plainText(const vt::rtf::Document &doc)
{
    QString out;
    for (const vt::rtf::Paragraph &p : doc.paragraphs) {
        for (const vt::rtf::Run &r : p.runs)
            out += r.text;
        out += u'\n';
    }
    return out;
}

int run(const Options &o, int rounds)
{
    const QString dir = qEnvironmentVariable("VT_BENCH_DIR") + QStringLiteral("/work");
    const QString bare = QCoreApplication::applicationDirPath() + QStringLiteral("/bare_capture");
    if (!QFile::exists(bare)) {
        std::fprintf(stderr, "bench_capture: %s is not built\n", qPrintable(bare));
        return 1;
    }
    bench::figure(QStringLiteral("capture"),
                  QStringLiteral("%1 shots a round, one every %2 ms at 4800 baud, one character per write; %3 rounds "
                                 "per size; processor time of the whole process as a share of one core")
                      .arg(o.shots)
                      .arg(kEveryMs)
                      .arg(rounds));
    bool ok = true;
    for (size_t i = 0; i < o.sizesMb.size() && ok; ++i) {
        const QString rtfPath = dir + QStringLiteral("/capture-%1.rtf").arg(i);
        const QString txtPath = dir + QStringLiteral("/capture-%1.txt").arg(i);
        {
            bench::SimShotLines lines;
            QString error;
            if (!lines.start(&error)) {
                std::fprintf(stderr, "The simulated chronograph did not start: %s\n", qPrintable(error));
                return 1;
            }
            const bench::GeneratedCFile cfile = bench::generateCFile(qint64(o.sizesMb[i] * 1024 * 1024), lines);
            if (!bench::writeFile(rtfPath, cfile.rtf) || !bench::writeFile(txtPath, plainText(cfile.document).toUtf8())) {
                std::fprintf(stderr, "Cannot write %s\n", qPrintable(rtfPath));
                return 1;
            }
        }
        // One simulator for each process, so that each has a pty of its own.
        const int things = o.ungathered ? 4 : 3;
        std::vector<std::unique_ptr<bench::SimThread>> sims;
        std::vector<QString> ports;
        for (int s = 0; s < (o.ungathered ? 3 : 2); ++s) {
            sims.push_back(std::make_unique<bench::SimThread>(o.shots, kEveryMs));
            sims.back()->start();
            ports.push_back(sims.back()->waitForPort());
            if (ports.back().isEmpty()) {
                std::fprintf(stderr, "The simulated chronograph did not start: %s\n", qPrintable(sims.back()->error()));
                ok = false;
            }
        }
        std::vector<int> round(sims.size(), 0);
        {
            Child ours, box, ungathered;
            ok = ok && ours.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--stage"), rtfPath, ports[0]})
                && box.start(bare, {txtPath, ports[1]})
                && (!o.ungathered
                    || ungathered.start(QCoreApplication::applicationFilePath(),
                                        {QStringLiteral("--stage"), rtfPath, ports[2], QStringLiteral("--ungathered")}));
            if (!ok) {
                std::fprintf(stderr, "bench_capture: a process did not get ready\n");
            } else {
                const int ours0 = ours.command("hidden"), box0 = box.command("lines");
                const int ungathered0 = o.ungathered ? ungathered.command("hidden") : 0;
                // One round each first, unmeasured: first layouts and caches.
                window(ours.pid(), *sims[0], round[0]);
                window(box.pid(), *sims[1], round[1]);
                if (o.ungathered)
                    window(ungathered.pid(), *sims[2], round[2]);
                const auto figures = bench::runRounds(rounds, things, [&](int which) {
                    switch (which) {
                    case 0: ours.command("hidden"); return window(ours.pid(), *sims[0], round[0]);
                    case 1: return window(box.pid(), *sims[1], round[1]);
                    case 2: {
                        ours.command("shown");
                        const double v = window(ours.pid(), *sims[0], round[0]);
                        ours.command("hidden");
                        return v;
                    }
                    default: return window(ungathered.pid(), *sims[2], round[2]);
                    }
                });
                // Every round's shot lines must have landed in every box: the
                // program takes the unmeasured round and both of its kinds of
                // rounds, the others the unmeasured round and their own.
                const int oursLines = ours.command("lines") - ours0, boxLines = box.command("lines") - box0;
                const int ungatheredLines = o.ungathered ? ungathered.command("lines") - ungathered0 : 0;
                const int want = o.shots * (rounds + 1), wantOurs = o.shots * (2 * rounds + 1);
                if (figures.empty() || oursLines < wantOurs || boxLines < want
                    || (o.ungathered && ungatheredLines < want)) {
                    std::fprintf(stderr, "bench_capture: lines went missing (program %d of %d, bare box %d of %d, "
                                         "not gathered %d)\n",
                                 oursLines, wantOurs, boxLines, want, ungatheredLines);
                    ok = false;
                } else {
                    const QString size = bench::megabytes(QFileInfo(rtfPath).size());
                    const auto pct = [](const std::vector<double> &v) {
                        return QString::number(bench::median(v), 'f', 2) + QStringLiteral(" %");
                    };
                    bench::figure(QStringLiteral("capture into %1").arg(size),
                                  QStringLiteral("%1 of a core, bare Qt text box %2: %3; target at most 1.05 x")
                                      .arg(pct(figures[0]), pct(figures[1]),
                                           bench::pairedRatioText(figures[0], figures[1])));
                    bench::figure(QStringLiteral("capture into %1, terminal shown").arg(size),
                                  QStringLiteral("%1 of a core, terminal hidden %2: %3; target at most 1.1 x")
                                      .arg(pct(figures[2]), pct(figures[0]),
                                           bench::pairedRatioText(figures[2], figures[0])));
                    if (o.ungathered)
                        bench::figure(QStringLiteral("capture into %1, reads not gathered").arg(size),
                                      QStringLiteral("%1 of a core, bare Qt text box %2: %3")
                                          .arg(pct(figures[3]), pct(figures[1]),
                                               bench::pairedRatioText(figures[3], figures[1])));
                }
            }
        }
        for (auto &s : sims) {
            s->finish();
            s->wait();
        }
        QFile::remove(rtfPath);
        QFile::remove(txtPath);
    }
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    return bench::runMain(argc, argv, [](const QStringList &args) {
        if (args.value(1) == QLatin1String("--stage"))
            return programStage(args.value(2), args.value(3), args.value(4) == QLatin1String("--ungathered"));
        Options o;
        bool ok = true;
        for (qsizetype i = 1; i < args.size() && ok; ++i) {
            const QString &a = args[i];
            if (a == QLatin1String("--ungathered")) {
                o.ungathered = true;
                continue;
            }
            const QString v = args.value(++i);
            if (a == QLatin1String("--shots")) {
                o.shots = v.toInt(&ok);
            } else if (a == QLatin1String("--sizes")) {
                ok = bench::parseSizesMb(v, o.sizesMb);
            } else {
                ok = false;
            }
        }
        if (!ok || o.shots <= 0 || o.sizesMb.empty()) {
            std::fprintf(stderr, "usage: bench_capture [--sizes MB,MB,...] [--shots N] [--ungathered]\n");
            return 2;
        }
        return run(o, bench::repetitions(5));
    });
}
