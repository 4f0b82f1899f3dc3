#include "win32/win32timer.h"

namespace qm
{

Win32Timer::Win32Timer(MessageWindow &window, int interval)
    : window_(window), interval_(interval < 0 ? 0 : interval)
{
}

Win32Timer::~Win32Timer()
{
    stop();
}

void Win32Timer::setInterval(int milliseconds)
{
    interval_ = milliseconds < 0 ? 0 : milliseconds;
    // A new interval restarts a running timer.
    stop();
    start();
}

void Win32Timer::setEnabled(bool enabled)
{
    if (enabled == enabled_)
        return; // a running timer keeps its phase
    enabled_ = enabled;
    if (enabled)
        start();
    else
        stop();
}

void Win32Timer::start()
{
    if (!enabled_ || interval_ <= 0 || id_ != 0)
        return;
    id_ = window_.startTimer(static_cast<unsigned>(interval_), [this] {
        if (handler_)
            handler_();
    });
}

void Win32Timer::stop()
{
    if (id_ == 0)
        return;
    window_.stopTimer(id_);
    id_ = 0;
}

} // namespace qm
