#pragma once
// The clock on Win32: steady time for every interval, the date and time text
// in the user's locale (short date, time with seconds), a blocking Sleep and
// MessageBeep.

#include "platform/clock.h"

#include <string>

namespace qm
{

class Win32Clock final : public Clock
{
public:
    // std::chrono::steady_clock, which is QueryPerformanceCounter here: the
    // same clock the event pump measures its wake-by time on.
    TimePoint now() const override;
    std::string dateTimeText() const override;
    void pause(std::chrono::milliseconds duration) override;
    void beep() override;
};

// A time picture of GetTimeFormat ("h:mm tt", "HH.mm") with seconds: one
// that has them is kept, else seconds follow the minutes with the separator
// that stands before the minutes. Quoted text ('...') is left alone.
std::string TimeFormatWithSeconds(const std::string &picture);

} // namespace qm
