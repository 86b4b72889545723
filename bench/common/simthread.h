// The simulated chronograph on a thread of its own, as a chronograph on the
// far end of a cable: it writes while the program reads. Each round fires a
// number of shots with its sensors armed, at full speed or paced (one shot
// every so many milliseconds, each line at the wire's rate of 4800 baud one
// character per write). A line is "sent" when the simulator's write of its
// last byte into the pty has returned.
#pragma once

#include <QMutex>
#include <QString>
#include <QThread>

#include <atomic>
#include <chrono>
#include <vector>

namespace bench {

class SimThread : public QThread {
public:
    using Clock = std::chrono::steady_clock;

    // `everyMs` > 0: paced, one shot every that many milliseconds.
    SimThread(int shots, int everyMs) : shots_(shots), everyMs_(everyMs), sent_(size_t(shots)) {}

    // Waits until the pty is there; its path, or empty on failure.
    QString waitForPort();
    QString error() const;
    // Fires one round of shots once the port is open on the far side.
    void fireRound() { round_.fetch_add(1); }
    bool roundDone(int round) const { return done_.load() >= round; }
    bool roundStarted(int round) const { return startedRound_.load() >= round; }
    // The count of the first shot of the round under way, and each shot's time.
    int firstCount() const { return firstCount_; }
    Clock::time_point started() const { return started_; }
    const std::vector<Clock::time_point> &sent() const { return sent_; }
    void finish() { quit_.store(true); }

protected:
    void run() override;

private:
    // Runs this thread's events (the simulator's timers) until `when`,
    // sleeping in between.
    static void waitUntil(Clock::time_point when);

    enum { Starting, Ready, Failed };
    const int shots_;
    const int everyMs_;
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

} // namespace bench
