#pragma once
// Time as the gateway sees it: a steady now for measuring intervals, the
// wall clock's date-time text for what is written and shown, a blocking pause
// that serves nothing, and the beep. Tests run on virtual time.
//
// Every interval (pauses, waits, how long a file has been unchanged) is
// measured on the steady clock: a wall clock set back by a time sync or by
// hand must not hold anything for the size of the step.

#include <chrono>
#include <string>

namespace qm
{

using TimePoint = std::chrono::time_point<std::chrono::steady_clock, std::chrono::milliseconds>;

class Clock
{
public:
    virtual ~Clock() = default;
    // Steady time: only differences of it mean anything, and it never steps.
    virtual TimePoint now() const = 0;
    // The local wall-clock time in the locale's general form: short date, one
    // blank, time with seconds.
    virtual std::string dateTimeText() const = 0;
    // Blocks; no event is served meanwhile.
    virtual void pause(std::chrono::milliseconds duration) = 0;
    virtual void beep() = 0;
};

} // namespace qm
