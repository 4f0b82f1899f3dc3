#include "simworld.h"

#include <algorithm>
#include <ctime>
#include <stdexcept>

namespace qm::test
{

using namespace std::chrono;

void SimTimer::setInterval(int milliseconds)
{
    interval_ = milliseconds;
    if (enabled_)
        due_ = world_.now() + std::chrono::milliseconds(interval_);
}

void SimTimer::setEnabled(bool enabled)
{
    world_.registerTimer(this);
    if (enabled && !enabled_)
        due_ = world_.now() + std::chrono::milliseconds(interval_);
    enabled_ = enabled;
}

std::string SimWorld::dateTimeText() const
{
    const std::time_t t =
        system_clock::to_time_t(system_clock::time_point(wallStart_ + elapsed() + wallStep_));
    const std::tm tm = *std::gmtime(&t); // portable; the simulated world has one thread
    char buf[32];
    std::strftime(buf, sizeof buf, "%d/%m/%Y %H:%M:%S", &tm);
    return buf;
}

void SimWorld::pause(milliseconds duration)
{
    pauses.push_back(duration);
    now_ += duration;
}

void SimWorld::registerTimer(SimTimer *t)
{
    if (std::find(timers_.begin(), timers_.end(), t) == timers_.end())
        timers_.push_back(t);
}

void SimWorld::after(milliseconds delay, std::function<void()> what)
{
    happenings_.emplace(std::pair{now_ + std::max(delay, 0ms), seq_++}, std::move(what));
}

void SimWorld::pump(std::optional<TimePoint> wakeBy)
{
    ++pumps;
    // The earliest due happening: a scheduled one or a timer tick.
    std::optional<TimePoint> next;
    if (!happenings_.empty())
        next = happenings_.begin()->first.first;
    SimTimer *nextTimer = nullptr;
    for (SimTimer *t : timers_) {
        if (t->enabled_ && t->interval_ > 0 && (!next || t->due_ < *next)) {
            next = t->due_;
            nextTimer = t;
        }
    }
    if (!next && !wakeBy)
        throw std::runtime_error("simulated world: pumped with nothing ever due");
    if (!next || (wakeBy && *wakeBy < *next)) {
        now_ = std::max(now_, *wakeBy);
        return;
    }
    now_ = std::max(now_, *next);
    if (nextTimer) {
        nextTimer->due_ += std::chrono::milliseconds(nextTimer->interval_);
        if (nextTimer->handler_)
            nextTimer->handler_();
        return;
    }
    auto node = happenings_.extract(happenings_.begin());
    node.mapped()();
}

} // namespace qm::test
