#pragma once
// The clock on Win32: steady time for every interval, the date and time text
// in the user's locale (short date, time with seconds), a blocking pause and
// MessageBeep.
//
// The pause serves no event of the program's, but answers the messages that
// other threads and programs send to its windows: a window that leaves them
// unanswered for the 30 seconds of the dial's carrier wait holds up the end
// of the session (Wine asks all of a program's windows before it tells any
// of them the session ends) and reads as hung to the system. The console
// answers WM_QUERYENDSESSION yes and ends the program at WM_ENDSESSION.

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
