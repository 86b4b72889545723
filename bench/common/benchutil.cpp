#include "common/benchutil.h"

#include "platform/answers.h"
#include "platform/errors.h"
#include "sim/kt4sim.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace bench {

bool parseSizesMb(const QString &text, std::vector<double> &sizes)
{
    sizes.clear();
    for (const QString &mb : text.split(u',')) {
        bool ok = false;
        sizes.push_back(mb.toDouble(&ok));
        if (!ok || sizes.back() <= 0)
            return false;
    }
    return true;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    auto rank = size_t(std::ceil(p / 100.0 * double(values.size())));
    rank = std::clamp<size_t>(rank, 1, values.size());
    return values[rank - 1];
}

std::vector<std::vector<double>> runRounds(int rounds, int things, const std::function<double(int which)> &measure)
{
    std::vector<std::vector<double>> out(size_t(std::max(0, things)));
    std::vector<int> order(size_t(std::max(0, things)));
    for (int i = 0; i < things; ++i)
        order[size_t(i)] = i;
    for (int r = 0; r < rounds; ++r) {
        if (r > 0) {
            if (r % 2)
                std::reverse(order.begin(), order.end());
            else
                std::rotate(order.begin(), order.begin() + 1, order.end());
        }
        for (const int which : order) {
            const double v = measure(which);
            if (v < 0)
                return {};
            out[size_t(which)].push_back(v);
        }
    }
    return out;
}

namespace {

std::vector<double> ratiosOf(const std::vector<double> &a, const std::vector<double> &b)
{
    std::vector<double> r;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        r.push_back(b[i] > 0 ? a[i] / b[i] : 0);
    return r;
}

} // namespace

QString pairedRatioText(const std::vector<double> &a, const std::vector<double> &b)
{
    const std::vector<double> r = ratiosOf(a, b);
    if (r.empty())
        return QStringLiteral("no pairs");
    const auto [lo, hi] = std::minmax_element(r.begin(), r.end());
    return QStringLiteral("%1 x (median of %2 pairs, %3 to %4%5)")
        .arg(median(r), 0, 'f', 2)
        .arg(r.size())
        .arg(*lo, 0, 'f', 2)
        .arg(*hi, 0, 'f', 2)
        .arg(*hi > 2 * *lo ? QStringLiteral(", more than 2 x apart") : QString());
}

namespace {

qint64 statusKb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray want = QByteArray(key) + ':';
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(want))
            return line.mid(want.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

} // namespace

qint64 residentBytes() { return statusKb("VmRSS") * 1024; }
qint64 peakResidentBytes() { return statusKb("VmHWM") * 1024; }

bool resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1 && f.flush();
}

void figure(const QString &name, const QString &value)
{
    std::printf("%s: %s\n", qPrintable(name), qPrintable(value));
    std::fflush(stdout);
}

QString megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 2) + QStringLiteral(" MB");
}

QString rate(double perSecond, const char *unit)
{
    const int decimals = perSecond >= 100 ? 0 : perSecond >= 10 ? 1 : 2;
    return QString::number(perSecond, 'f', decimals) + u' ' + QString::fromLatin1(unit);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
}

int repetitions(int fallback)
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("VT_BENCH_REPS", &ok);
    return ok && n > 0 ? n : fallback;
}

namespace {

QtMessageHandler qtHandler = nullptr;

// The offscreen platform's notes on window calls it cannot carry out say
// nothing about the figures; everything else is passed on.
void filterMessages(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support")))
        return;
    qtHandler(type, context, text);
}

} // namespace

std::unique_ptr<QTemporaryDir> prepareEnvironment()
{
    qtHandler = qInstallMessageHandler(filterMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A child inherits the parent's folders: one set per run.
    if (!qEnvironmentVariableIsEmpty("VT_BENCH_DIR"))
        return nullptr;
    auto dir = std::make_unique<QTemporaryDir>();
    if (!dir->isValid()) {
        std::fprintf(stderr, "No temporary folder: %s\n", qPrintable(dir->errorString()));
        std::exit(2);
    }
    const QString root = dir->path();
    for (const char *sub : {"config", "home", "runtime", "work"})
        QDir(root).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(root + QStringLiteral("/runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                                | QFileDevice::ExeOwner);
    qputenv("VT_BENCH_DIR", root.toLocal8Bit());
    qputenv("VANTRELL_CONFIG", (root + QStringLiteral("/config")).toLocal8Bit());
    qputenv("VANTRELL_HOME", (root + QStringLiteral("/home")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (root + QStringLiteral("/runtime")).toLocal8Bit());
    return dir;
}

int runMain(int argc, char **argv, const std::function<int(const QStringList &args)> &body)
{
    const auto dir = prepareEnvironment();
    QApplication app(argc, argv);
    // Nobody answers questions during a run: each takes its default.
    vt::answers::setScripted(true);
    try {
        return body(app.arguments());
    } catch (const vt::RtError &e) {
        std::fprintf(stderr, "Error %d: %s\n", e.number, qPrintable(e.description));
        return 1;
    }
}

int runStage(const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QCoreApplication::applicationFilePath(), args);
    if (!p.waitForStarted() || !p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    return p.exitCode();
}

// --- the simulated chronograph's shot lines ----------------------------------

SimShotLines::SimShotLines() : sim_(std::make_unique<vt::sim::Kt4Sim>()) {}

SimShotLines::~SimShotLines()
{
    sim_->stop();
    if (fd_ >= 0)
        ::close(fd_);
}

bool SimShotLines::start(QString *error)
{
    if (!sim_->start(false, error))
        return false;
    fd_ = ::open(sim_->portName().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (!sim_->waitForPeer(true)) {
        *error = QStringLiteral("the simulator did not see its port opened");
        return false;
    }
    sim_->unit().armed = true;
    return true;
}

void SimShotLines::fire(int shots)
{
    for (int i = 0; i < shots; ++i)
        sim_->fireShot();
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n > 0) {
            pending_.append(buf, n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            break;
        if (sim_->isIdle())
            break;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    qsizetype from = 0;
    for (qsizetype at; (at = pending_.indexOf("\r\n", from)) >= 0; from = at + 2)
        lines_.push_back(pending_.mid(from, at - from));
    pending_.remove(0, from);
}

QByteArray SimShotLines::next()
{
    while (lines_.empty())
        fire(16);
    QByteArray line = std::move(lines_.front());
    lines_.pop_front();
    return line;
}

} // namespace bench
