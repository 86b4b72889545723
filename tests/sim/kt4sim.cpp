#include "sim/kt4sim.h"

#include "chrono/modCroProt.h"

#include <QSocketNotifier>
#include <QTest>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace vt::sim {

namespace {

QByteArray two(int n) { return QByteArray::number(n).rightJustified(2, '0'); }
QByteArray onOff(bool on) { return on ? QByteArrayLiteral("ON") : QByteArrayLiteral("OFF"); }

// Strings per folder and shots per string that the unit offers.
const QList<QPair<int, int>> kStringSizes = {{40, 4}, {20, 8}, {13, 12}, {10, 16},
                                              {8, 20},  {6, 26}, {5, 32},  {4, 40}};
constexpr int kMenuCols = 6, kMenuRows = 6;
constexpr int kMaxPwrMinutes = 3 * 60 + 51;

QByteArray keyName(unsigned char b)
{
    switch (b) {
    case 0x0D: return "CR";
    case 0x0A: return "LF";
    case 0x1B: return "ESC";
    case 0x08: return "BS";
    default: break;
    }
    if (b < 0x20)
        return QByteArray("^") + char(b + 0x40);
    if (b >= 0x20 && b < 0x7F)
        return QByteArray("'") + char(b) + '\'';
    return "-";
}

} // namespace

int Unit::liveCount(int fol, int str) const
{
    int n = 0;
    for (const StoredShot &s : disk.value(fol * 100 + str))
        n += s.deleted ? 0 : 1;
    return n;
}

Kt4Sim::Kt4Sim(QObject *parent) : QObject(parent)
{
    reset();

    peerTimer_.setInterval(10);
    connect(&peerTimer_, &QTimer::timeout, this, [this] { checkPeer(); });
    sendTimer_.setSingleShot(true);
    sendTimer_.setTimerType(Qt::PreciseTimer);
    connect(&sendTimer_, &QTimer::timeout, this, [this] { pump(); });
    talkTimer_.setInterval(10);
    connect(&talkTimer_, &QTimer::timeout, this, [this] { talkOn(); });
    connect(&shotTimer_, &QTimer::timeout, this, [this] { autoShot(); });
}

Kt4Sim::~Kt4Sim() { stop(); }

void Kt4Sim::reset()
{
    const bool paced = opt_.pacing;
    opt_ = Options();
    opt_.pacing = paced;
    unit_ = Unit();
    seed_ = 12345;
    // A used eDisk: every folder holds two strings of three shots; the current
    // string is folder 1, string 2.
    for (int f = 1; f <= 10; ++f)
        for (int s = 1; s <= 2; ++s)
            for (int i = 0; i < 3; ++i)
                unit_.shots(f, s).append({nextVelocity(), 72.0 + i, false});
    block_.clear();
    lastShotMs_ = -1;
    shotsFired_ = 0;
    talkCount_ = 0;
    zTries_ = 0;
    calAnswer_.clear();
    typeIndex_ = 0;
    clearReceived();
    sent_.clear();
    out_.clear();
}

QByteArray Kt4Sim::identification() { return croIdText.toLatin1(); }

bool Kt4Sim::start(bool paced, QString *error)
{
    stop();
    opt_.pacing = paced;
    int master = -1, slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    // Raw from the start: no echo, no line-end translation, whoever opens it.
    termios tio {};
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B4800);
        ::cfsetospeed(&tio, B4800);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    ::close(slave);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    masterFd_ = master;
    slavePath_ = QString::fromLocal8Bit(name);
    clock_.start();
    readNote_ = new QSocketNotifier(masterFd_, QSocketNotifier::Read, this);
    readNote_->setEnabled(false);
    connect(readNote_, &QSocketNotifier::activated, this, [this] { onReadable(); });
    peer_ = false;
    peerTimer_.start();
    talkTimer_.start();
    shotTimer_.start(qMax(1, opt_.everyMs));
    return true;
}

void Kt4Sim::stop()
{
    finishTalk();
    peerTimer_.stop();
    sendTimer_.stop();
    talkTimer_.stop();
    shotTimer_.stop();
    delete readNote_;
    readNote_ = nullptr;
    if (masterFd_ >= 0)
        ::close(masterFd_);
    masterFd_ = -1;
    out_.clear();
    peer_ = false;
}

void Kt4Sim::clearReceived()
{
    rxBytes_.clear();
    rxLog_.clear();
}

bool Kt4Sim::setLogFile(const QString &path)
{
    logFile_.close();
    logFile_.setFileName(path);
    return logFile_.open(QIODevice::Append | QIODevice::Text | QIODevice::Unbuffered);
}

bool Kt4Sim::waitForReceived(int n, int timeoutMs)
{
    return QTest::qWaitFor([&] { return rxBytes_.size() >= n; }, timeoutMs);
}

bool Kt4Sim::waitForSent(const QByteArray &text, int timeoutMs)
{
    return QTest::qWaitFor([&] { return sent_.contains(text); }, timeoutMs);
}

bool Kt4Sim::waitIdle(int timeoutMs)
{
    return QTest::qWaitFor([&] { return out_.empty(); }, timeoutMs);
}

bool Kt4Sim::waitForPeer(bool connected, int timeoutMs)
{
    return QTest::qWaitFor([&] { return peer_ == connected; }, timeoutMs);
}

// ---- the line ------------------------------------------------------------

void Kt4Sim::checkPeer()
{
    if (masterFd_ < 0 || peer_)
        return;
    // With nobody on the slave side the master reports a hang-up.
    pollfd p {masterFd_, POLLIN, 0};
    if (::poll(&p, 1, 0) < 0 || (p.revents & POLLHUP))
        return;
    setPeer(true);
    if (p.revents & POLLIN)
        onReadable();
}

void Kt4Sim::setPeer(bool on)
{
    if (peer_ == on)
        return;
    peer_ = on;
    if (readNote_)
        readNote_->setEnabled(on);
    if (on) {
        peerTimer_.stop();
    } else {
        // Whatever was still to be said goes nowhere, as on a real line.
        out_.clear();
        sendTimer_.stop();
        peerTimer_.start();
    }
    emit peerChanged(on);
}

void Kt4Sim::onReadable()
{
    if (masterFd_ < 0)
        return;
    char buf[256];
    for (;;) {
        const ssize_t n = ::read(masterFd_, buf, sizeof buf);
        if (n > 0) {
            for (ssize_t i = 0; i < n; ++i) {
                const auto b = static_cast<unsigned char>(buf[i]);
                const qint64 ms = clock_.elapsed();
                rxBytes_.append(char(b));
                rxLog_.append({ms, char(b)});
                if (logFile_.isOpen()) {
                    const QByteArray line = QByteArray::number(ms / 1000.0, 'f', 3).rightJustified(10) + " 0x"
                        + QByteArray::number(b, 16).toUpper().rightJustified(2, '0') + ' ' + keyName(b) + '\n';
                    logFile_.write(line);
                }
                emit keyReceived(b);
                handleKey(b);
            }
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return;
        setPeer(false);   // EIO: the program closed the port
        return;
    }
}

QByteArray Kt4Sim::lineEnds(const QByteArray &text) const
{
    QByteArray t = text;
    if (opt_.lineEnd == LineEnd::LfCr)
        t.replace("\r\n", "\n\r");
    else if (opt_.lineEnd == LineEnd::Cr)
        t.replace("\r\n", "\r");
    return t;
}

void Kt4Sim::answer(QByteArray text, int extraDelayMs)
{
    if (!peer_)
        return;
    if (opt_.wrongPrompt) {
        if (text.endsWith("DAT>"))
            text.replace(text.size() - 4, 4, "STS>");
        else if (text.endsWith("STS>"))
            text.replace(text.size() - 4, 4, "DAT>");
        else if (text.endsWith('?') && text.size() >= 14) {
            const qsizetype at = text.size() - 14;
            if (text.mid(at, 10) == "MEN><DAT> ")
                text.replace(at, 10, "MEN><STS> ");
            else if (text.mid(at, 10) == "MEN><STS> ")
                text.replace(at, 10, "MEN><DAT> ");
        }
    }
    text = lineEnds(text);
    if (opt_.leadingBackspace)
        text.prepend('\b');

    QList<QByteArray> pieces;
    if (!opt_.chunks.isEmpty()) {
        int i = 0, k = 0;
        while (i < text.size()) {
            const int n = qMax(1, opt_.chunks[k++ % opt_.chunks.size()]);
            pieces.append(text.mid(i, n));
            i += n;
        }
    } else if (opt_.delayWithinMs > 0) {
        const QByteArray le = lineEnds("\r\n");
        qsizetype from = 0;
        for (qsizetype at; (at = text.indexOf(le, from)) >= 0; from = at + le.size())
            pieces.append(text.mid(from, at + le.size() - from));
        if (from < text.size())
            pieces.append(text.mid(from));
    } else {
        pieces.append(text);
    }
    for (int i = 0; i < pieces.size(); ++i)
        out_.push_back({pieces[i], i == 0 ? opt_.delayBeforeMs + extraDelayMs + keyDelay_ : opt_.delayWithinMs});
    pump();
}

void Kt4Sim::unsolicited(const QByteArray &text)
{
    if (!peer_ || text.isEmpty())
        return;
    out_.push_back({lineEnds(text), 0});
    pump();
}

void Kt4Sim::sendRaw(const QByteArray &bytes)
{
    if (!peer_ || bytes.isEmpty())
        return;
    out_.push_back({bytes, 0});
    pump();
}

bool Kt4Sim::startTalk(const QByteArray &bytes, int count, int everyMs)
{
    if (masterFd_ < 0 || !peer_ || talker_.joinable() || bytes.isEmpty() || count <= 0)
        return false;
    talkWrites_.clear();
    talker_ = std::thread([this, bytes, count, everyMs, fd = masterFd_] {
        QVector<Write> writes;
        const auto first = std::chrono::steady_clock::now();
        for (int i = 0; i < count; ++i) {
            std::this_thread::sleep_until(first + std::chrono::milliseconds(qint64(i) * everyMs));
            Write w;
            w.before = clock_.elapsed();
            qsizetype done = 0;
            while (done < bytes.size()) {
                const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
                if (n > 0)
                    done += n;
                else if (n < 0 && errno != EAGAIN && errno != EINTR)
                    break;
                else
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            w.after = clock_.elapsed();
            writes.append(w);
        }
        talkWrites_ = writes;
    });
    return true;
}

QVector<Kt4Sim::Write> Kt4Sim::finishTalk()
{
    if (talker_.joinable())
        talker_.join();
    return talkWrites_;
}

void Kt4Sim::schedule(qint64 ms)
{
    sendTimer_.start(int(qBound(qint64(0), ms, qint64(1000000))));
}

void Kt4Sim::pump()
{
    if (masterFd_ < 0 || !peer_) {
        out_.clear();
        return;
    }
    const double perMs = opt_.baud / 10.0 / 1000.0;
    while (!out_.empty()) {
        const qint64 now = clock_.elapsed();
        Segment &s = out_.front();
        if (s.readyAt < 0)
            s.readyAt = now + s.delayMs;
        if (now < s.readyAt) {
            schedule(s.readyAt - now);
            return;
        }
        qsizetype allowed = s.data.size() - s.written;
        if (opt_.pacing) {
            const auto due = qsizetype(double(now - s.readyAt) * perMs) + 1;
            allowed = qMin(allowed, due - s.written);
            if (allowed <= 0) {
                schedule(2);
                return;
            }
        }
        const ssize_t n = ::write(masterFd_, s.data.constData() + s.written, size_t(allowed));
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                schedule(5);   // the program is not reading: try again shortly
                return;
            }
            setPeer(false);
            return;
        }
        sent_.append(s.data.constData() + s.written, n);
        s.written += int(n);
        if (s.written < s.data.size()) {
            schedule(opt_.pacing ? 2 : 1);
            return;
        }
        // Pacing carries on from where the last character went out.
        const qint64 doneAt = s.readyAt + qint64(double(s.data.size()) / perMs);
        out_.pop_front();
        if (!out_.empty() && opt_.pacing)
            out_.front().readyAt = qMax(doneAt, now) + out_.front().delayMs;
    }
}

void Kt4Sim::talkOn()
{
    if (!opt_.neverStops || !peer_ || out_.size() > 1)
        return;
    ++talkCount_;
    unsolicited("Sens=ON SLev=" + QByteArray::number(unit_.sensLevel) + "% Noise="
                + QByteArray::number(talkCount_).rightJustified(5, '0') + " ----------\r\n");
}

void Kt4Sim::autoShot()
{
    shotTimer_.setInterval(qMax(1, opt_.everyMs));
    if (shotsFired_ >= opt_.shotsToFire || !unit_.armed || !unit_.powered || !peer_)
        return;
    ++shotsFired_;
    fireShot();
}

// ---- the unit ------------------------------------------------------------

double Kt4Sim::nextVelocity()
{
    seed_ = seed_ * 1103515245u + 12345u;
    return 290.0 + double((seed_ >> 16) % 100) / 10.0;
}

QByteArray Kt4Sim::prompt() const { return unit_.side == 2 ? QByteArrayLiteral("STS>") : QByteArrayLiteral("DAT>"); }

QByteArray Kt4Sim::menuPrompt() const
{
    return (unit_.side == 2 ? "MEN><STS> " : "MEN><DAT> ") + QByteArray::number(unit_.menuCol)
        + QByteArray::number(unit_.menuRow) + '?';
}

QByteArray Kt4Sim::velText(double fps) const
{
    return QByteArray::number(unit_.metric ? fps * 0.3048 : fps, 'f', 1);
}

QByteArray Kt4Sim::tempText(double f) const
{
    return QByteArray::number(qRound(unit_.celsius ? (f - 32.0) * 5.0 / 9.0 : f));
}

QByteArray Kt4Sim::statusText() const
{
    const Unit &u = unit_;
    const int count = u.liveCount(u.curFol, u.curStr);
    const int rev = u.curRev > 0 ? qMin(u.curRev, count) : count;
    QByteArray t = "\r\n" + identification() + ", " + u.model.toLatin1() + ":V" + QByteArray::number(u.version)
        + "S SYS:" + QByteArray::number(u.totalShots).rightJustified(5, '0') + " Bat="
        + QByteArray::number(u.battery, 'f', 2) + "V Tmp=" + QByteArray::number(u.caseTemp, 'f', 1)
        + " PwrDown=" + onOff(u.pwrDownOn) + '=' + two(u.pwrDownHrs) + ':' + two(u.pwrDownMin) + "\r\n";
    t += "Faf=" + onOff(u.rapidFire) + " Arc=" + onOff(u.archery) + " Sens=" + onOff(u.armed)
        + " SLev=" + QByteArray::number(u.sensLevel) + "% Cal=" + QByteArray::number(u.calValue) + "\r\n";
    t += "K*Log=" + onOff(u.tmpLog) + " L*Log=" + onOff(u.staLog) + " J*Log=" + onOff(u.capLog)
        + " Cam=" + QByteArray::number(u.camLevel) + "\r\n";
    t += QByteArray("Vel=") + (u.metric ? "m/s" : "f/s") + " Tmp=" + (u.celsius ? "cel" : "fah") + " Tim=sec\r\n";
    t += "MaxFol=" + QByteArray::number(u.maxFol) + " MaxStr=" + QByteArray::number(u.maxStr)
        + " MaxSho=" + QByteArray::number(u.maxSho) + "\r\n";
    t += "Att=" + two(u.curFol) + ':' + two(u.curStr) + ':' + two(rev) + ':' + two(count) + "\r\n";
    t += u.armed ? "Ready\r\n" : "Ready CAP=OFF\r\n";
    return t + prompt();
}

int Kt4Sim::menuCellCode() const { return unit_.side * 100 + unit_.menuCol * 10 + unit_.menuRow; }

bool Kt4Sim::flagCell(int cell)
{
    return cell == 100 || cell == 101 || cell == 103 || cell == 104 || cell == 105 || cell == 243 || cell == 252
        || cell == 254;
}

int Kt4Sim::cellValue(int cell) const
{
    const Unit &u = unit_;
    switch (cell) {
    case 100: return u.armed;
    case 101: return u.archery;
    case 102: return u.sensLevel;
    case 103: return u.rapidFire;
    case 104: return u.metric;
    case 105: return u.celsius;
    case 220: return u.maxStr * 100 + u.maxSho;
    case 243: return u.memAlarm;
    case 252: return u.pwrDownOn;
    case 253: return u.pwrDownHrs * 100 + u.pwrDownMin;
    case 254: return u.expert;
    default: return 0;
    }
}

QByteArray Kt4Sim::menuCell() const
{
    const int cell = menuCellCode();
    const int v = pending_ ? pendingVal_ : cellValue(cell);
    return "VAL=" + (flagCell(cell) ? onOff(v != 0) : QByteArray::number(v));
}

QByteArray Kt4Sim::reviewLine() const
{
    const Unit &u = unit_;
    const QVector<StoredShot> shots = u.disk.value(u.curFol * 100 + u.curStr);
    const int rev = u.curRev > 0 ? qMin(u.curRev, int(shots.size())) : int(shots.size());
    QByteArray t = "Fol=" + two(u.curFol) + " Str=" + two(u.curStr) + " Sho=" + two(rev);
    if (rev == 0)
        return t + " Empty";
    const StoredShot &s = shots[rev - 1];
    if (s.deleted)
        return t + " Deleted";
    return t + ' ' + velText(s.fps) + ' ' + (u.metric ? "m/s" : "f/s");
}

QByteArray Kt4Sim::shotLine(int fol, int str, int n, const StoredShot &s) const
{
    return "MMR:" + two(fol) + ':' + two(str) + ':'
        + QByteArray::number(n).rightJustified(opt_.twoDigitShots ? 2 : 3, '0') + ' ' + velText(s.fps) + ' '
        + (unit_.metric ? "m/s" : "f/s") + ' ' + tempText(s.tempF) + ' ' + (unit_.celsius ? "cel" : "fah")
        + "\r\n";
}

QByteArray Kt4Sim::stringDump(int fol, int str, bool keepEmpty) const
{
    const int live = unit_.liveCount(fol, str);
    if (live == 0 && !keepEmpty)
        return {};
    QByteArray t = "MMR:<Begin> Fol=" + two(fol) + " Str=" + two(str) + " Siz=" + two(live) + "\r\n";
    int n = 0;
    for (const StoredShot &s : unit_.disk.value(fol * 100 + str))
        if (!s.deleted)
            t += shotLine(fol, str, ++n, s);
    return t + "MMR:<End> Fol=" + two(fol) + " Str=" + two(str) + "\r\n";
}

QByteArray Kt4Sim::closeBlock()
{
    if (unit_.armed && !block_.isEmpty()) {
        const int n = int(block_.size());
        double sum = 0, hi = block_[0], lo = block_[0];
        for (double v : block_) {
            sum += v;
            hi = qMax(hi, v);
            lo = qMin(lo, v);
        }
        const double av = sum / n;
        double sq = 0;
        for (double v : block_)
            sq += (v - av) * (v - av);
        const double sd = n > 1 ? std::sqrt(sq / (n - 1)) : 0.0;
        const QByteArray unit = unit_.metric ? "m/s" : "f/s";
        QByteArray t = "# Str=" + two(unit_.curStr) + " N=" + two(n) + " Av=" + velText(av) + " Hi=" + velText(hi)
            + " Lo=" + velText(lo) + ' ' + unit + "\r\n";
        t += "# ES=" + velText(hi - lo) + " SD=" + velText(sd) + ' ' + unit + "\r\n";
        t += "CAP:" + QByteArray::number(unit_.totalShots % 100000).rightJustified(5, '0') + " <End>\r\n";
        block_.clear();
        lastShotMs_ = -1;
        return t;
    }
    block_.clear();
    lastShotMs_ = -1;
    return {};
}

QByteArray Kt4Sim::disarm()
{
    const QByteArray t = closeBlock();
    unit_.armed = false;
    return t;
}

void Kt4Sim::fireShot(double fps)
{
    Unit &u = unit_;
    if (!u.armed || !u.powered)
        return;
    if (fps <= 0)
        fps = nextVelocity();
    const qint64 now = clock_.elapsed();
    const double gap = lastShotMs_ < 0 ? 0.0 : double(now - lastShotMs_) / 1000.0;
    lastShotMs_ = now;
    ++u.totalShots;
    QVector<StoredShot> &shots = u.shots(u.curFol, u.curStr);
    const double tempF = u.caseTemp * 9.0 / 5.0 + 32.0;
    shots.append({fps, tempF, false});
    u.curRev = 0;
    const int n = int(shots.size());
    block_.append(fps);
    double sum = 0;
    for (double v : block_)
        sum += v;
    const QByteArray unit = u.metric ? "m/s" : "f/s";

    QByteArray t;
    if (u.capLog) {
        t = "CAP:" + QByteArray::number(u.totalShots % 100000).rightJustified(5, '0') + ' ' + velText(fps) + ' '
            + unit + ' ' + QByteArray::number(gap, 'f', 3) + " sec ";
        if (u.tmpLog)
            t += tempText(tempF) + ' ' + (u.celsius ? "cel " : "fah ");
        t += two(u.curStr) + ':' + two(n) + "_Av " + velText(sum / double(block_.size())) + "\r\n";
    }
    if (u.staLog)
        t += "# Fol=" + two(u.curFol) + " Str=" + two(u.curStr) + " Sho=" + two(n) + "\r\n";
    if (n >= u.maxSho) {
        // A full string ends the block; the next shot starts the next string.
        t += closeBlock();
        if (++u.curStr > u.maxStr) {
            u.curStr = 1;
            u.curFol = u.curFol % u.maxFol + 1;
        }
        u.shots(u.curFol, u.curStr).clear();
    }
    unsolicited(t);
}

void Kt4Sim::stepCell(int dir)
{
    const int cell = menuCellCode();
    int v = pending_ ? pendingVal_ : cellValue(cell);
    if (flagCell(cell)) {
        v = v ? 0 : 1;
    } else if (cell == 102) {
        v = qBound(0, v + 5 * dir, 100);
    } else if (cell == 220) {
        int i = 0;
        while (i < kStringSizes.size() && kStringSizes[i].first * 100 + kStringSizes[i].second != v)
            ++i;
        i = qBound(0, (i == kStringSizes.size() ? 3 : i) - dir, int(kStringSizes.size()) - 1);
        v = kStringSizes[i].first * 100 + kStringSizes[i].second;
    } else if (cell == 253) {
        const int m = qBound(0, (v / 100) * 60 + v % 100 + dir, kMaxPwrMinutes);
        v = (m / 60) * 100 + m % 60;
    } else {
        return;   // a cell without a setting
    }
    pending_ = true;
    pendingVal_ = v;
}

void Kt4Sim::commitCell()
{
    if (!pending_)
        return;
    pending_ = false;
    Unit &u = unit_;
    const int v = pendingVal_;
    switch (menuCellCode()) {
    case 100:
        if (v && !u.armed) {
            u.armed = true;
            block_.clear();
            lastShotMs_ = -1;
        } else if (!v && u.armed) {
            pendingLines_ += disarm();
        }
        break;
    case 101: u.archery = v != 0; break;
    case 102: u.sensLevel = v; break;
    case 103: u.rapidFire = v != 0; break;
    case 104: u.metric = v != 0; break;
    case 105: u.celsius = v != 0; break;
    case 220: u.maxStr = v / 100; u.maxSho = v % 100; break;
    case 243: u.memAlarm = v != 0; break;
    case 252: u.pwrDownOn = v != 0; break;
    case 253: u.pwrDownHrs = v / 100; u.pwrDownMin = v % 100; break;
    case 254: u.expert = v != 0; break;
    default: break;
    }
}

void Kt4Sim::menuKey(unsigned char key)
{
    Unit &u = unit_;
    pendingLines_.clear();
    // Moving off a cell drops a value stepped but not confirmed.
    const auto move = [this](int &at, int by, int size) {
        pending_ = false;
        at = qBound(0, at + by, size - 1);
    };
    switch (key) {
    case 0x15: move(u.menuRow, -1, kMenuRows); break;
    case 0x04: move(u.menuRow, +1, kMenuRows); break;
    case 0x0C: move(u.menuCol, -1, kMenuCols); break;
    case 0x12: move(u.menuCol, +1, kMenuCols); break;
    case 0x0B: stepCell(+1); break;
    case 0x0F: stepCell(-1); break;
    case 0x0D: commitCell(); break;
    default: break;   // "M": show the cell again
    }
    answer("\r\n" + pendingLines_ + menuCell() + "\r\n" + menuPrompt());
}

void Kt4Sim::moveReview(unsigned char key)
{
    Unit &u = unit_;
    const int count = int(u.disk.value(u.curFol * 100 + u.curStr).size());
    int rev = u.curRev > 0 ? qMin(u.curRev, count) : count;
    switch (key) {
    case 0x15: rev = qMin(count, rev + 1); break;
    case 0x04: rev = qMax(count > 0 ? 1 : 0, rev - 1); break;
    case 0x12: u.curStr = qMin(u.maxStr, u.curStr + 1); rev = 0; break;
    case 0x0C: u.curStr = qMax(1, u.curStr - 1); rev = 0; break;
    case 0x0B: u.curFol = qMin(u.maxFol, u.curFol + 1); rev = 0; break;
    case 0x0F: u.curFol = qMax(1, u.curFol - 1); rev = 0; break;
    default: break;
    }
    u.curRev = rev;
    answer("\r\n" + reviewLine() + "\r\n" + prompt());
}

void Kt4Sim::deleteKey(unsigned char key)
{
    Unit &u = unit_;
    const bool undo = key == 0x1C || key == 0x1D || key == 0x02;
    const bool flag = !undo;
    QByteArray line = undo ? "Und=" : "Del=";
    QVector<StoredShot> &shots = u.shots(u.curFol, u.curStr);
    if (key == 0x1E || key == 0x1C) {
        const int rev = u.curRev > 0 ? qMin(u.curRev, int(shots.size())) : int(shots.size());
        if (rev > 0)
            shots[rev - 1].deleted = flag;
        line += "Sho Fol=" + two(u.curFol) + " Str=" + two(u.curStr) + " Sho=" + two(rev);
    } else if (key == 0x1F || key == 0x1D) {
        for (StoredShot &s : shots)
            s.deleted = flag;
        line += "Str Fol=" + two(u.curFol) + " Str=" + two(u.curStr);
    } else {
        for (int s = 1; s <= u.maxStr; ++s)
            for (StoredShot &shot : u.disk[u.curFol * 100 + s])
                shot.deleted = flag;
        line += "Fol Fol=" + two(u.curFol);
    }
    QByteArray pre;
    if (u.armed) {
        // Editing the memory ends capture.
        pre = disarm();
        line += " CAP=OFF";
    }
    answer("\r\n" + pre + line + "\r\n" + prompt());
}

void Kt4Sim::dumpKey(unsigned char key)
{
    Unit &u = unit_;
    u.side = 1;
    QByteArray t = "\r\n";
    if (key == '1') {
        t += stringDump(u.curFol, u.curStr, true);
    } else if (key == '2') {
        for (int s = 1; s <= u.maxStr; ++s)
            t += stringDump(u.curFol, s, false);
    } else {
        for (int f = 1; f <= 10; ++f) {
            QByteArray folder;
            for (int s = 1; s <= u.maxStr; ++s)
                folder += stringDump(f, s, false);
            // The whole eDisk always closes with folder 10.
            if (f == 10 && folder.isEmpty())
                folder = "MMR:<End> Fol=10 Str=00\r\n";
            t += folder;
        }
    }
    t += u.armed ? "MMR:<End>\r\n" : "MMR:<End> CAP=OFF\r\n";
    answer(t + prompt());
}

void Kt4Sim::handleKey(unsigned char key)
{
    Unit &u = unit_;
    if (opt_.neverStops || opt_.mute || opt_.silentKeys.contains(char(key)))
        return;
    if (key == 'Z' && ++zTries_ < opt_.answerZFrom)
        return;
    abandonCalibration(key);
    keyDelay_ = opt_.keyDelayMs.value(char(key), 0);
    struct ClearDelay {
        int &d;
        ~ClearDelay() { d = 0; }
    } clearDelay{keyDelay_};
    if (!u.powered) {
        if (key != 0x1B)
            return;
        u.powered = true;
        u.armed = false;
        u.side = 1;
        u.inMenu = true;
        u.menuCol = u.menuRow = 0;
        pending_ = false;
        answer("\r\nPower ON\r\n" + menuCell() + "\r\n" + menuPrompt());
        return;
    }
    const bool menuKeyHere = key == 0x15 || key == 0x04 || key == 0x0C || key == 0x12 || key == 0x0B
        || key == 0x0F || key == 0x0D || key == 'M';
    if (u.inMenu && menuKeyHere) {
        menuKey(key);
        return;
    }
    if (key == 'M') {
        u.inMenu = true;
        u.menuCol = u.menuRow = 0;
        pending_ = false;
        answer("\r\n" + menuCell() + "\r\n" + menuPrompt());
        return;
    }
    const bool staysInMenu = key == 'Z' || key == 'C';
    if (u.inMenu && !staysInMenu) {
        u.inMenu = false;
        pending_ = false;
    }
    // How an answer that may stand in a menu ends: the menu at its first cell.
    auto ending = [this, &u]() -> QByteArray {
        if (!u.inMenu)
            return prompt();
        u.menuCol = u.menuRow = 0;
        pending_ = false;
        return menuCell() + "\r\n" + menuPrompt();
    };

    switch (key) {
    case 0x0D:
        answer("\r\n" + prompt());
        return;
    case 0x15: case 0x04: case 0x0C: case 0x12: case 0x0F: case 0x0B:
        moveReview(key);
        return;
    case 0x1E: case 0x1F: case 0x01: case 0x1C: case 0x1D: case 0x02:
        deleteKey(key);
        return;
    case 'D':
    case 'S':
        u.side = key == 'D' ? 1 : 2;
        answer("\r\n" + prompt());
        return;
    case 'T': {
        static const char *types[] = {"Vel", "Tim", "Tmp"};
        typeIndex_ = (typeIndex_ + 1) % 3;
        answer(QByteArray("\r\nTyp=") + types[typeIndex_] + "\r\n" + prompt());
        return;
    }
    case 'U':
        u.metric = !u.metric;
        answer(QByteArray("\r\nVel=") + (u.metric ? "m/s" : "f/s") + "\r\n" + prompt());
        return;
    case 'Q':
        answer(statusText());
        return;
    case 'Z': {
        const bool was = u.armed;
        answer(zReport(was) + ending());
        return;
    }
    case 'W': {
        const int count = u.liveCount(u.curFol, u.curStr);
        const int rev = u.curRev > 0 ? qMin(u.curRev, count) : count;
        answer("\r\nFol=" + two(u.curFol) + " Str=" + two(u.curStr) + " Siz=" + two(count) + " Sho=" + two(rev)
               + " Att=" + two(u.curFol) + ':' + two(u.curStr) + ':' + two(rev) + ':' + two(count) + "\r\n"
               + prompt());
        return;
    }
    case 'A': case 'F': case 'J': case 'K': case 'L': {
        // Single-action keys: archery, rapid fire and the three send logs.
        static const struct {
            char key;
            bool Unit::*flag;
            const char *label;
        } toggles[] = {{'A', &Unit::archery, "Arc="},  {'F', &Unit::rapidFire, "Faf="},
                       {'J', &Unit::capLog, "J*Log="}, {'K', &Unit::tmpLog, "K*Log="},
                       {'L', &Unit::staLog, "L*Log="}};
        for (const auto &t : toggles) {
            if (t.key == char(key)) {
                u.*t.flag = !(u.*t.flag);
                answer("\r\n" + QByteArray(t.label) + onOff(u.*t.flag) + "\r\n" + prompt());
            }
        }
        return;
    }
    case '1': case '2': case '3':
        dumpKey(key);
        return;
    case 'C': {
        const int wait = opt_.pacing ? opt_.calibrationMs : 0;
        if (opt_.calFails) {
            calAnswer_ = lineEnds("\r\nCAL: ERR=Cal\r\n" + ending());
            answer("\r\nCAL: ERR=Cal\r\n" + ending(), wait);
            return;
        }
        u.calValue = 1200 + int((seed_ >> 8) % 100);
        u.armed = true;
        block_.clear();
        lastShotMs_ = -1;
        const QByteArray cal = "\r\nCAL: Cal=" + QByteArray::number(u.calValue) + " Res=12.34 Nse=00\r\n" + ending();
        calAnswer_ = lineEnds(cal);
        answer(cal, wait);
        return;
    }
    case 'P':
    case '9': {
        const QByteArray pre = disarm();
        u.powered = false;
        u.inMenu = false;
        answer("\r\n" + pre + "SYS:" + QByteArray::number(u.totalShots).rightJustified(5, '0') + " Power OFF\r\n");
        return;
    }
    default: {
        // ESC and every other key: leave menus and capture.
        const QByteArray block = u.armed ? closeBlock() : QByteArray();
        if (!block.isEmpty())
            answer("\r\n" + block + prompt());
        else
            answer(u.armed ? "\r\n<End>\r\n" + prompt() : "\r\n<End> CAP=OFF\r\n" + prompt());
        return;
    }
    }
}

// "Z": the sensors off and their report.
QByteArray Kt4Sim::zReport(bool wasArmed)
{
    const QByteArray pre = disarm();
    const Unit &u = unit_;
    return "\r\n" + pre + "SLev=" + QByteArray::number(u.sensLevel) + "% Arc="
           + onOff(u.archery) + (opt_.zWithoutSensOff ? " Sens=" : " Sens=OFF") + (wasArmed ? " CAP=OFF" : "")
           + "\r\n";
}

// "D" while the calibration answer still waits to go out stops the
// calibration: the unit says nothing of it and the sensors stay as they were
// before; "D" is then answered as usual. Other keys leave it running.
void Kt4Sim::abandonCalibration(unsigned char key)
{
    if (calAnswer_.isEmpty())
        return;
    for (auto it = out_.begin(); it != out_.end(); ++it) {
        if (it->data == calAnswer_ && it->written == 0) {
            if (key != 'D')
                return;
            out_.erase(it);
            calAnswer_.clear();
            if (!opt_.calFails)
                unit_.armed = false;
            return;
        }
    }
    // Its answer has gone out.
    calAnswer_.clear();
}

} // namespace vt::sim
