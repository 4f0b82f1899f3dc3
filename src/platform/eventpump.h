#pragma once
// Serves pending window, timer and port events. A real pump blocks in the
// event loop until something happens (it never spins); a simulated one jumps
// virtual time to the next due happening.

#include "platform/clock.h"

#include <optional>

namespace qm
{

class EventPump
{
public:
    virtual ~EventPump() = default;
    // Serves what is pending; if nothing is, waits for the next event or
    // timer tick, or until `wakeBy` when given, whichever comes first.
    virtual void pump(std::optional<TimePoint> wakeBy = std::nullopt) = 0;
};

} // namespace qm
