#include "qt/platform/qttimer.h"

namespace qm
{

QtTimer::QtTimer(int interval) : interval_(interval)
{
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (handler_)
            handler_();
    });
}

void QtTimer::setInterval(int milliseconds)
{
    interval_ = milliseconds < 0 ? 0 : milliseconds;
    // A new interval restarts a running timer.
    timer_.stop();
    sync();
}

void QtTimer::setEnabled(bool enabled)
{
    if (enabled == enabled_)
        return; // a running timer keeps its phase
    enabled_ = enabled;
    if (!enabled)
        timer_.stop();
    sync();
}

void QtTimer::sync()
{
    if (enabled_ && interval_ > 0 && !timer_.isActive())
        timer_.start(interval_);
}

} // namespace qm
