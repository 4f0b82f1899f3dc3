#pragma once
// An interval timer the console owns. An enabled timer first fires one
// interval after it is enabled, then every interval until disabled. Enabling a
// timer that already runs keeps its phase (disable first to restart it). An
// interval of 0 never fires. Ticks are delivered only while events are pumped.

#include <functional>

namespace qm
{

class Timer
{
public:
    virtual ~Timer() = default;
    virtual void setInterval(int milliseconds) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
    virtual void setTickHandler(std::function<void()> handler) = 0;
};

} // namespace qm
