#pragma once
// The event pump over Qt's event loop. A pump serves what is pending, or
// sleeps in the event loop until the next event or timer: it never spins.

#include "platform/eventpump.h"

#include <QTimer>

namespace qm
{

class QtEventPump final : public EventPump
{
public:
    QtEventPump();
    void pump(std::optional<TimePoint> wakeBy = std::nullopt) override;

private:
    QTimer wake_; // single-shot: ends a wait at wakeBy
};

} // namespace qm
