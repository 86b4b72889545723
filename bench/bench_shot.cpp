// The road of a shot: the simulated chronograph, its sensors armed, sends
// 10,000 shots at full speed (no pacing) on its pty; the program's link port
// receives them and the receive engine writes them, Shoot mode on, at the end
// of a CFile that already holds 5 MB. Reports shot lines per second, the
// processor time the program's thread spends per received line, and the
// time from a line's last byte arriving at the port to that line standing at
// the end of the CFile (median and 99th percentile).
//
// The simulator runs on a thread of its own, as a chronograph on the far end
// of a cable would: it writes while the program reads. A line "arrives" when
// the simulator's write of its last byte into the pty has returned.
//
//   bench_shot [--shots N] [--cfile-mb MB]   (VT_BENCH_REPS repetitions, default 3)

#include "common/benchutil.h"
#include "common/cfilegen.h"

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

// The simulated chronograph on its own thread and event loop.
class SimThread : public QThread {
public:
    explicit SimThread(int shots) : shots_(shots), sent_(size_t(shots)) {}

    // Waits until the pty is there; its path, or empty on failure.
    QString waitForPort()
    {
        while (state_.load() == Starting)
            QThread::msleep(1);
        QMutexLocker lock(&mutex_);
        return port_;
    }
    QString error() const
    {
        QMutexLocker lock(&mutex_);
        return error_;
    }
    // Fires one round of shots; answers once the last has been written.
    void fireRound() { round_.fetch_add(1); }
    bool roundDone(int round) const { return done_.load() >= round; }
    bool roundStarted(int round) const { return startedRound_.load() >= round; }
    // The count of the first shot of the round under way, and each shot's time.
    int firstCount() const { return firstCount_; }
    Clock::time_point started() const { return started_; }
    const std::vector<Clock::time_point> &sent() const { return sent_; }
    void finish() { quit_.store(true); }

protected:
    void run() override
    {
        vt::sim::Kt4Sim sim;
        QString err;
        if (!sim.start(false, &err)) {
            QMutexLocker lock(&mutex_);
            error_ = err;
            state_.store(Failed);
            return;
        }
        {
            QMutexLocker lock(&mutex_);
            port_ = sim.portName();
        }
        state_.store(Ready);
        int fired = 0;
        while (!quit_.load()) {
            if (round_.load() == fired || !sim.peerConnected()) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
                QThread::usleep(200);
                continue;
            }
            sim.unit().armed = true;
            firstCount_ = (sim.unit().totalShots + 1) % 100000;
            started_ = Clock::now();
            startedRound_.store(fired + 1);
            for (int i = 0; i < shots_; ++i) {
                sim.fireShot();
                // Until the whole line is in the pty: a program that reads
                // slower than we write makes the simulator wait and retry,
                // on a timer of its own that wakes this blocking wait.
                while (!sim.isIdle() && !quit_.load())
                    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
                sent_[size_t(i)] = Clock::now();
            }
            done_.store(++fired);
        }
        sim.stop();
    }

private:
    enum { Starting, Ready, Failed };
    const int shots_;
    mutable QMutex mutex_;
    QString port_, error_;
    std::atomic<int> state_{Starting};
    std::atomic<int> round_{0}, done_{0};
    std::atomic<int> startedRound_{0};
    int firstCount_ = 0;
    std::atomic<bool> quit_{false};
    Clock::time_point started_;
    std::vector<Clock::time_point> sent_;
};

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

int run(int shots, double cfileMb, int reps)
{
    // The 5 MB the CFile already holds.
    const QString cfilePath = qEnvironmentVariable("VT_BENCH_DIR") + QStringLiteral("/work/shots.rtf");
    {
        bench::SimShotLines lines;
        QString error;
        if (!lines.start(&error)) {
            std::fprintf(stderr, "The simulated chronograph did not start: %s\n", qPrintable(error));
            return 1;
        }
        const bench::GeneratedCFile cfile = bench::generateCFile(qint64(cfileMb * 1024 * 1024), lines);
        if (!bench::writeFile(cfilePath, cfile.rtf)) {
            std::fprintf(stderr, "Cannot write %s\n", qPrintable(cfilePath));
            return 1;
        }
    }

    // The subsystems as the program installs them at start-up.
    vt::installSubsystems();
    vt::frmMDI::get()->show();
    vt::frmTerminal *term = vt::frmTerminal::get();
    term->lodTerminal();

    SimThread sim(shots);
    sim.start();
    const QString port = sim.waitForPort();
    if (port.isEmpty()) {
        std::fprintf(stderr, "The simulated chronograph did not start: %s\n", qPrintable(sim.error()));
        return 1;
    }
    qputenv("VANTRELL_COM1", port.toLocal8Bit());
    term->MSComm1->setCommPort(1);

    // Shoot mode on, as the user switches it: it opens the link port and
    // from then on received text goes to the end of the active CFile (and,
    // the terminal being loaded, to its box too). The sensors are armed.
    vt::CreateNewCFile();
    vt::CroSta.croSnsOn = true;
    vt::subCaptureOnOff(0);
    if (!vt::RxRoute[1] || !term->MSComm1->PortOpen()) {
        std::fprintf(stderr, "Shoot mode did not come on with the link port on %s\n", qPrintable(port));
        sim.finish();
        sim.wait();
        return 1;
    }

    std::vector<double> rates, medians, p99s, busy, perLine;
    int totalLines = 0;
    bool ok = true;
    for (int r = 0; r < reps && ok; ++r) {
        vt::nbrEditor().loadActiveCFile(cfilePath, true);
        vt::RichTextBox *box = vt::ActiveForm()->rtfText;
        box->document()->documentLayout()->documentSize();
        term->txtTerm->SetText(QString());
        QCoreApplication::processEvents();

        sim.fireRound();
        // The first count is known once the round has begun; no events may
        // run before the watcher is there.
        while (!sim.roundStarted(r + 1))
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
        while (!sim.roundDone(r + 1))
            QThread::msleep(1);
        if (watch.count() < shots) {
            std::fprintf(stderr, "Only %d of %d shot lines reached the CFile\n", watch.count(), shots);
            ok = false;
            break;
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
        totalLines = watch.lines();
    }
    vt::subCaptureOnOff(0);
    term->subClosePort();
    sim.finish();
    sim.wait();
    if (!ok)
        return 1;

    const QString of = QStringLiteral("median of %1 runs").arg(rates.size());
    bench::figure(QStringLiteral("shot road"),
                  QStringLiteral("%1 shots (%2 lines with the string statistics) into a CFile of %3, terminal on")
                      .arg(shots)
                      .arg(totalLines)
                      .arg(bench::megabytes(QFileInfo(cfilePath).size())));
    bench::figure(QStringLiteral("shot road throughput"), bench::rate(bench::median(rates), "shot lines/s")
                      + QStringLiteral("  (%1; the program's thread busy %2% of the time)")
                            .arg(of)
                            .arg(bench::median(busy), 0, 'f', 0));
    bench::figure(QStringLiteral("shot road processor time"),
                  QString::number(bench::median(perLine), 'f', 1)
                      + QStringLiteral(" us of the program's thread per received line  (") + of + u')');
    bench::figure(QStringLiteral("shot road latency median"),
                  QString::number(bench::median(medians), 'f', 3) + QStringLiteral(" ms  (") + of + u')');
    bench::figure(QStringLiteral("shot road latency p99"),
                  QString::number(bench::median(p99s), 'f', 3) + QStringLiteral(" ms  (") + of + u')');
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return bench::runMain(argc, argv, [](const QStringList &args) {
        int shots = 10000;
        double cfileMb = 5;
        for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
            if (args[i] == QLatin1String("--shots"))
                shots = args[i + 1].toInt();
            else if (args[i] == QLatin1String("--cfile-mb"))
                cfileMb = args[i + 1].toDouble();
        }
        if (shots <= 0 || shots > 90000 || cfileMb <= 0) {
            std::fprintf(stderr, "usage: bench_shot [--shots N (up to 90000)] [--cfile-mb MB]\n");
            return 2;
        }
        return run(shots, cfileMb, bench::repetitions(3));
    });
}
