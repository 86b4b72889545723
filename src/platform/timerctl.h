// The timer control: Enabled, Interval and Tag, and a Timer event that fires
// every Interval milliseconds while Enabled. Interval 0 never fires. Turning
// it off and on again, or setting the Interval while it runs, starts the count
// afresh; setting Enabled True while it runs changes nothing.
#pragma once

#include <QString>
#include <functional>
#include <memory>

class QTimer;

namespace vt {

class TimerCtl {
public:
    // The design values: name (also the error location of its event), Enabled, Interval, Tag.
    explicit TimerCtl(QString name, bool enabled = false, int interval = 0, QString tag = {});
    ~TimerCtl();
    TimerCtl(const TimerCtl &) = delete;
    TimerCtl &operator=(const TimerCtl &) = delete;

    QString Tag;

    bool Enabled() const { return enabled_; }
    void setEnabled(bool on);
    int Interval() const { return interval_; }
    void setInterval(int ms);
    const QString &name() const { return name_; }

    // The Timer event. It runs guarded: what it throws is reported, not passed on.
    void onTimer(std::function<void()> handler) { handler_ = std::move(handler); }
    // Runs the Timer event now, as an elapsed interval would.
    void fire();

private:
    void apply();

    QString name_;
    bool enabled_ = false;
    int interval_ = 0;
    std::function<void()> handler_;
    std::unique_ptr<QTimer> timer_;
};

} // namespace vt
