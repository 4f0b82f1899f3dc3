#pragma once
// A simulated world over virtual time for core tests. Pumping delivers the
// next due happening (timer tick, scheduled bytes) and moves the clock to it;
// a blocking pause moves the clock without delivering anything. The wall clock
// (only the date and time the logs carry) runs with it and can be stepped on
// its own, as a time sync or an operator setting the time does. A pump with
// nothing ever due throws, so a routine that would wait forever fails the
// test instead of hanging it.

#include "platform/clock.h"
#include "platform/eventpump.h"
#include "platform/timer.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace qm::test
{

class SimWorld;

class SimTimer final : public Timer
{
public:
    explicit SimTimer(SimWorld &world, int interval = 1000) : world_(world), interval_(interval) {}
    void setInterval(int milliseconds) override;
    int interval() const override { return interval_; }
    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return enabled_; }
    void setTickHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

private:
    friend class SimWorld;
    SimWorld &world_;
    int interval_;
    bool enabled_ = false;
    TimePoint due_{};
    std::function<void()> handler_;
};

class SimWorld final : public Clock, public EventPump
{
public:
    // Clock
    TimePoint now() const override { return now_; }
    std::string dateTimeText() const override;
    void pause(std::chrono::milliseconds duration) override;
    void beep() override { ++beeps; }

    // EventPump
    void pump(std::optional<TimePoint> wakeBy = std::nullopt) override;

    // Schedules `what` at `delay` from now.
    void after(std::chrono::milliseconds delay, std::function<void()> what);

    std::chrono::milliseconds elapsed() const { return now_ - start_; }

    // Sets the wall clock forward (positive) or back (negative); steady time
    // goes on unchanged.
    void stepWallClock(std::chrono::milliseconds step) { wallStep_ += step; }

    int beeps = 0;
    int pumps = 0;
    std::vector<std::chrono::milliseconds> pauses;

private:
    friend class SimTimer;
    void registerTimer(SimTimer *t);

    // Steady time starts on a whole second; the wall clock at
    // 2026-12-06 12:00:00 UTC.
    const TimePoint start_{std::chrono::hours(1000)};
    const std::chrono::sys_seconds wallStart_{
        std::chrono::sys_days(std::chrono::December / 6 / 2026).time_since_epoch() +
        std::chrono::hours(12)};
    std::chrono::milliseconds wallStep_{0};
    TimePoint now_ = start_;
    std::uint64_t seq_ = 0;
    std::multimap<std::pair<TimePoint, std::uint64_t>, std::function<void()>> happenings_;
    std::vector<SimTimer *> timers_;
};

} // namespace qm::test
