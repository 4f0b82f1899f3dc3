#pragma once
// Time as the gateway sees it: now, the locale's date-time text, a blocking
// pause that serves nothing, and the beep. Tests run on virtual time.

#include <chrono>
#include <string>

namespace qm
{

using TimePoint = std::chrono::time_point<std::chrono::system_clock, std::chrono::milliseconds>;

class Clock
{
public:
    virtual ~Clock() = default;
    // Local wall-clock time.
    virtual TimePoint now() const = 0;
    // The locale's general form of now(): short date, one blank, time with seconds.
    virtual std::string dateTimeText() const = 0;
    // Blocks; no event is served meanwhile.
    virtual void pause(std::chrono::milliseconds duration) = 0;
    virtual void beep() = 0;
};

} // namespace qm
