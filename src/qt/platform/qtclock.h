#pragma once
// The wall clock: local time, the locale's date-time text, a blocking sleep
// and the platform's beep.

#include "platform/clock.h"

namespace qm
{

class QtClock : public Clock
{
public:
    TimePoint now() const override;
    std::string dateTimeText() const override;
    void pause(std::chrono::milliseconds duration) override;
    void beep() override;
};

} // namespace qm
