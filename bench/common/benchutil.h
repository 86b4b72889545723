// Shared pieces of the benchmark programs: a monotonic stopwatch, medians and
// percentiles, the process's peak memory, one output line per figure, the
// environment every benchmark runs in, and stages run in child processes (so
// each stage's peak memory is its own).
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QTemporaryDir;

namespace vt::sim {
class Kt4Sim;
}

namespace bench {

class Stopwatch {
public:
    Stopwatch() : start_(std::chrono::steady_clock::now()) {}
    void restart() { start_ = std::chrono::steady_clock::now(); }
    double seconds() const
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

private:
    std::chrono::steady_clock::time_point start_;
};

// A comma-separated list of sizes in megabytes, every one above zero, into
// `sizes`; false when one is not.
bool parseSizesMb(const QString &text, std::vector<double> &sizes);

double median(std::vector<double> values);
// Nearest-rank percentile, p in (0, 100].
double percentile(std::vector<double> values, double p);

// Several things measured in rounds, back to back, each round in another
// order than the one before (a round reversed, then the next turned by one),
// so that all of them meet the same load on a shared machine. `measure`
// answers the figure of thing `which`, negative when it failed (which ends
// the run: the answer is then empty). One vector of figures per thing.
std::vector<std::vector<double>> runRounds(int rounds, int things, const std::function<double(int which)> &measure);

// Two things' figures taken in the same rounds, compared round by round:
// "R x (median of N pairs, LO to HI)" of the ratios a / b, which says so
// where the ratios lie more than 2 x apart.
QString pairedRatioText(const std::vector<double> &a, const std::vector<double> &b);

// Resident memory of this process now and at its peak, in bytes (0 when
// /proc cannot tell).
qint64 residentBytes();
qint64 peakResidentBytes();
// Lowers the recorded peak to what is resident now, so that the next peak
// belongs to the work that follows. False where the kernel does not allow it.
bool resetPeak();

// One figure: "name: value", flushed at once.
void figure(const QString &name, const QString &value);
QString megabytes(qint64 bytes);           // "12.34 MB" (MB = 2^20 bytes)
QString rate(double perSecond, const char *unit);

// Writes the whole file; false when it cannot.
bool writeFile(const QString &path, const QByteArray &bytes);

// Repetitions of each timed stage: VT_BENCH_REPS, else `fallback`.
int repetitions(int fallback);

// Offscreen widgets and fresh settings and program folders for the run;
// call before the application object. The folders live as long as the
// returned object; children started by runStage share them.
std::unique_ptr<QTemporaryDir> prepareEnvironment();

// A benchmark's main(): the environment, the application object, questions
// answered by their defaults (no window ever waits), then
// `body` with the command-line arguments; an error the program raises is
// printed and ends the run with 1.
int runMain(int argc, char **argv, const std::function<int(const QStringList &args)> &body);

// Runs this program again with `args` (a stage), its output passed through.
// Answers its exit code (-1 when it crashed or did not start).
int runStage(const QStringList &args);

// CR LF lines exactly as the simulated chronograph sends them while its
// sensors are armed: shot lines, and after every full string its statistics
// lines and the block's end line. Runs the simulator on a pty and reads its
// slave side.
class SimShotLines {
public:
    SimShotLines();
    ~SimShotLines();
    bool start(QString *error);
    QByteArray next();                     // one line, without its line end

private:
    void fire(int shots);
    std::unique_ptr<vt::sim::Kt4Sim> sim_;
    int fd_ = -1;
    QByteArray pending_;
    std::deque<QByteArray> lines_;
};

} // namespace bench
