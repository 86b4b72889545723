// Start-up: the time from starting the program to its ready mark (the file
// named by $VANTRELL_READY written once start-up is done and the event loop
// runs), with fresh settings and program folders and no chronograph, beside a
// bare Qt main window (bench/bare/bare_window.cpp: a menu bar, a text box and
// a status bar) started the same way. The two run in pairs, alternating which
// goes first, so that both meet the same load on a shared machine; the figure
// is the median of the pairs' ratios with their spread.
//
// The ready mark is a named pipe: its first byte wakes this program at once,
// without polling. Without --ports the COM ports point nowhere (no serial
// port at all); with it the machine's own ports are scanned as they are, and
// a port that opens but never answers is waited on as detection must.
//
// Under strace (when it is installed) one more run of the program counts the
// disk syncs (fsync, fdatasync, sync_file_range, syncfs, sync) and renames
// made before the ready mark, and the timed waits that ran out before it (a
// poll, select or epoll wait given a time-out that passed with nothing to
// read, or a sleep) with the time they took; the same for the bare window.
//
//   bench_start [--pairs N] [--ports]      ($VANTRELL_BIN: another build of the program)

#include "common/benchutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Options {
    int pairs = 15;
    bool ports = false;
};

// $VANTRELL_BIN runs another build of the program (to compare two builds).
QString ourProgram()
{
    const QString bin = qEnvironmentVariable("VANTRELL_BIN");
    return bin.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/../vantrell") : bin;
}
QString bareProgram() { return QCoreApplication::applicationDirPath() + QStringLiteral("/bare_window"); }

// A fresh environment for one start: settings and program folders, the
// runtime folder, the ready pipe, an empty answers file (every question takes
// its default, as a user pressing Enter would).
class Fresh {
public:
    explicit Fresh(const Options &o)
    {
        const QString d = dir_.path();
        for (const char *sub : {"cfg", "home", "xdg"})
            QDir(d).mkpath(QString::fromLatin1(sub));
        ::chmod(QFile::encodeName(d + QStringLiteral("/xdg")).constData(), 0700);
        ready_ = d + QStringLiteral("/ready");
        ::mkfifo(QFile::encodeName(ready_).constData(), 0600);
        QFile(d + QStringLiteral("/answers")).open(QIODevice::WriteOnly);
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env_.insert(QStringLiteral("VANTRELL_CONFIG"), d + QStringLiteral("/cfg"));
        env_.insert(QStringLiteral("VANTRELL_HOME"), d + QStringLiteral("/home"));
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), d + QStringLiteral("/xdg"));
        env_.insert(QStringLiteral("VANTRELL_READY"), ready_);
        env_.insert(QStringLiteral("VANTRELL_ANSWERS"), d + QStringLiteral("/answers"));
        for (int n = 1; n <= 16; ++n) {
            const QString name = QStringLiteral("VANTRELL_COM%1").arg(n);
            if (o.ports)
                env_.remove(name);
            else
                env_.insert(name, d + QStringLiteral("/no-port-%1").arg(n));
        }
        // The reader is there before the program starts, so its write never waits.
        fd_ = ::open(QFile::encodeName(ready_).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    }
    ~Fresh()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    const QProcessEnvironment &env() const { return env_; }
    QString readyPath() const { return ready_; }
    // Waits for the ready mark; false when the program ended first or a
    // minute passed.
    bool waitReady(QProcess &p)
    {
        for (int waited = 0; waited < 60000; waited += 100) {
            pollfd pfd{fd_, POLLIN, 0};
            const int r = ::poll(&pfd, 1, 100);
            if (r > 0 && (pfd.revents & POLLIN))
                return true;
            if (p.state() == QProcess::NotRunning)
                return false;
        }
        return false;
    }

private:
    QTemporaryDir dir_;
    QProcessEnvironment env_;
    QString ready_;
    int fd_ = -1;
};

// Milliseconds from start to ready; negative when it never got there.
double timeStart(const QString &program, const Options &o)
{
    Fresh fresh(o);
    QProcess p;
    p.setProcessEnvironment(fresh.env());
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    const bench::Stopwatch clock;
    p.start(program, {});
    const bool ok = fresh.waitReady(p);
    const double ms = clock.seconds() * 1000.0;
    p.kill();
    p.waitForFinished(-1);
    return ok ? ms : -1;
}

struct Syncs {
    int syncs = -1, renames = 0;
    int timeouts = 0;       // timed waits that ran out
    double timeoutMs = 0.0; // the time they took
};

// The time-out a wait was given, in milliseconds: 0 for one that only looks
// (or a wait with no time-out), -1 when the line is no wait at all.
double waitTimeout(const QByteArray &call)
{
    static const QRegularExpression timespec(QStringLiteral(R"(\{tv_sec=(\d+), tv_nsec=(\d+)\})"));
    static const QRegularExpression timeval(QStringLiteral(R"(\{tv_sec=(\d+), tv_usec=(\d+)\})"));
    const QString text = QString::fromLatin1(call);
    if (text.startsWith(QLatin1String("poll(")) || text.startsWith(QLatin1String("epoll_"))) {
        // poll(fds, n, ms); epoll_wait(fd, events, n, ms); epoll_pwait adds a
        // signal mask and its size.
        const QStringList args = text.mid(text.indexOf(u'(') + 1).chopped(1).split(QStringLiteral(", "));
        const int at = text.startsWith(QLatin1String("epoll_pwait(")) ? args.size() - 3 : args.size() - 1;
        if (at < 0)
            return -1;
        const int ms = args[at].toInt();
        return ms > 0 ? ms : 0;
    }
    if (text.startsWith(QLatin1String("ppoll(")) || text.startsWith(QLatin1String("pselect6("))) {
        const QRegularExpressionMatch m = timespec.match(text);
        return m.hasMatch() ? m.captured(1).toDouble() * 1000 + m.captured(2).toDouble() / 1e6 : 0;
    }
    if (text.startsWith(QLatin1String("select("))) {
        const QRegularExpressionMatch m = timeval.match(text);
        return m.hasMatch() ? m.captured(1).toDouble() * 1000 + m.captured(2).toDouble() / 1e3 : 0;
    }
    if (text.startsWith(QLatin1String("nanosleep(")) || text.startsWith(QLatin1String("clock_nanosleep(")))
        return 1; // a sleep waits whatever it was given
    return -1;
}

// Runs the program once under strace and counts what it did before it wrote
// the ready mark.
Syncs countSyncs(const QString &program, const Options &o)
{
    Syncs out;
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        return out;
    Fresh fresh(o);
    QTemporaryDir logDir;
    const QString log = logDir.path() + QStringLiteral("/trace");
    QProcess p;
    p.setProcessEnvironment(fresh.env());
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(strace, {QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-T"), QStringLiteral("-o"), log,
                     QStringLiteral("-e"),
                     QStringLiteral("trace=fsync,fdatasync,sync,syncfs,sync_file_range,rename,renameat,renameat2,"
                                    "openat,poll,ppoll,select,pselect6,epoll_wait,epoll_pwait,nanosleep,"
                                    "clock_nanosleep"),
                     program});
    const bool ok = fresh.waitReady(p);
    // The program is strace's child: ending it ends strace.
    QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(p.processId()));
    if (children.open(QIODevice::ReadOnly))
        for (const QByteArray &pid : children.readAll().split(' '))
            if (pid.toInt() > 0)
                ::kill(pid.toInt(), SIGKILL);
    p.waitForFinished(-1);
    if (!ok)
        return out;
    QFile f(log);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    out.syncs = 0;
    const QByteArray readyName = QFile::encodeName(fresh.readyPath());
    // With several threads a call's line is split where another thread's
    // comes between: "PID call(args <unfinished ...>" and later
    // "PID <... call resumed>rest". Each thread's unfinished start waits for
    // its end.
    QHash<QByteArray, QByteArray> unfinished;
    for (const QByteArray &raw : f.readAll().split('\n')) {
        const qsizetype space = raw.indexOf(' ');
        if (space < 0)
            continue;
        const QByteArray pid = raw.left(space);
        QByteArray line = raw.mid(space + 1);
        if (line.endsWith(" <unfinished ...>")) {
            unfinished.insert(pid, line.chopped(int(sizeof(" <unfinished ...>") - 1)));
            continue;
        }
        if (line.startsWith("<... ")) {
            const qsizetype resumed = line.indexOf(" resumed>");
            if (resumed < 0)
                continue;
            line = unfinished.take(pid) + line.mid(resumed + int(sizeof(" resumed>") - 1));
        }
        if (line.contains(readyName))
            break;
        if (line.contains("sync(") || line.contains("syncfs(") || line.contains("sync_file_range(")) {
            ++out.syncs;
            continue;
        }
        if (line.contains("rename")) {
            ++out.renames;
            continue;
        }
        // "call(args)   = result <seconds>", the result aligned with spaces.
        static const QRegularExpression ended(QStringLiteral(R"(^(\w+\(.*\)) *= (\S+).* <([0-9.]+)>$)"));
        const QRegularExpressionMatch m = ended.match(QString::fromLatin1(line));
        if (!m.hasMatch())
            continue;
        const QByteArray call = m.captured(1).toLatin1();
        if (waitTimeout(call) <= 0)
            continue;
        if (m.captured(2) == QLatin1String("0") || call.startsWith("nanosleep(") || call.startsWith("clock_nanosleep(")) {
            ++out.timeouts;
            out.timeoutMs += m.captured(3).toDouble() * 1000;
        }
    }
    return out;
}

int run(const Options &o)
{
    if (!QFile::exists(ourProgram()) || !QFile::exists(bareProgram())) {
        std::fprintf(stderr, "bench_start: %s or %s is not built\n", qPrintable(ourProgram()),
                     qPrintable(bareProgram()));
        return 1;
    }
    // One start of each first, so that neither pays for a cold disk cache.
    timeStart(ourProgram(), o);
    timeStart(bareProgram(), o);
    std::vector<double> ours, bare, ratios;
    for (int i = 0; i < o.pairs; ++i) {
        double a, b;
        if (i % 2 == 0) {
            a = timeStart(ourProgram(), o);
            b = timeStart(bareProgram(), o);
        } else {
            b = timeStart(bareProgram(), o);
            a = timeStart(ourProgram(), o);
        }
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "bench_start: a start did not reach its ready mark\n");
            return 1;
        }
        ours.push_back(a);
        bare.push_back(b);
        ratios.push_back(a / b);
    }
    const double lo = *std::min_element(ratios.begin(), ratios.end());
    const double hi = *std::max_element(ratios.begin(), ratios.end());
    const QString where = o.ports ? QStringLiteral("the machine's serial ports scanned")
                                  : QStringLiteral("no serial port");
    bench::figure(QStringLiteral("start to ready"),
                  QStringLiteral("%1 ms, bare Qt main window %2 ms: %3 x (median of %4 pairs, ratios %5 to %6%7; "
                                 "fresh settings, %8; target at most 2 x)")
                      .arg(bench::median(ours), 0, 'f', 1)
                      .arg(bench::median(bare), 0, 'f', 1)
                      .arg(bench::median(ratios), 0, 'f', 2)
                      .arg(o.pairs)
                      .arg(lo, 0, 'f', 2)
                      .arg(hi, 0, 'f', 2)
                      .arg(hi > 2 * lo ? QStringLiteral(", more than 2 x apart") : QString())
                      .arg(where));
    const Syncs s = countSyncs(ourProgram(), o);
    const Syncs r = countSyncs(bareProgram(), o);
    if (s.syncs < 0)
        bench::figure(QStringLiteral("start syncs"), QStringLiteral("not counted (strace is not installed)"));
    else
        bench::figure(QStringLiteral("start syncs before ready"),
                      QStringLiteral("%1 disk syncs and %2 renames, bare Qt main window %3 and %4 (one run each "
                                     "under strace; target at most 6 syncs)")
                          .arg(s.syncs)
                          .arg(s.renames)
                          .arg(r.syncs)
                          .arg(r.renames));
    if (s.syncs >= 0)
        bench::figure(QStringLiteral("start timed waits before ready"),
                      QStringLiteral("%1 waits ran out (%2 ms), bare Qt main window %3 (%4 ms) (the same runs; a "
                                     "poll, select or epoll wait whose time-out passed, or a sleep; target none)")
                          .arg(s.timeouts)
                          .arg(s.timeoutMs, 0, 'f', 1)
                          .arg(r.timeouts)
                          .arg(r.timeoutMs, 0, 'f', 1));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Options o;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--ports")) {
            o.ports = true;
        } else if (args[i] == QLatin1String("--pairs") && i + 1 < args.size()) {
            o.pairs = args[++i].toInt();
        } else {
            std::fprintf(stderr, "usage: bench_start [--pairs N] [--ports]\n");
            return 2;
        }
    }
    if (o.pairs < 1) {
        std::fprintf(stderr, "usage: bench_start [--pairs N] [--ports]\n");
        return 2;
    }
    return run(o);
}
