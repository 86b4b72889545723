#include "platform/timerctl.h"

#include "platform/errors.h"

#include <QTimer>

namespace vt {

TimerCtl::TimerCtl(QString name, bool enabled, int interval, QString tag)
    : Tag(std::move(tag)), name_(std::move(name)), enabled_(enabled), interval_(interval < 0 ? 0 : interval),
      timer_(std::make_unique<QTimer>())
{
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_.get(), &QTimer::timeout, [this] { fire(); });
    apply();
}

TimerCtl::~TimerCtl()
{
    timer_->stop();
    QObject::disconnect(timer_.get(), nullptr, nullptr, nullptr);
}

void TimerCtl::setEnabled(bool on)
{
    if (on == enabled_)
        return;
    enabled_ = on;
    apply();
}

void TimerCtl::setInterval(int ms)
{
    if (ms < 0)
        raise(380);
    interval_ = ms;
    apply();
}

void TimerCtl::fire()
{
    if (handler_)
        guarded(name_ + QStringLiteral("_Timer"), handler_);
}

void TimerCtl::apply()
{
    if (enabled_ && interval_ > 0)
        timer_->start(interval_); // (re)starts the count
    else
        timer_->stop();
}

} // namespace vt
