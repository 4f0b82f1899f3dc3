#pragma once
// A console timer on SetTimer, ticking through the UI thread's message
// window (so a modal box's loop serves it too), with the seam's rules:
// enabling a running timer keeps its phase, a new interval restarts it, and
// an interval of 0 never fires (the timer still counts as enabled).

#include "platform/timer.h"
#include "win32/messagewindow.h"

namespace qm
{

class Win32Timer final : public Timer
{
public:
    explicit Win32Timer(MessageWindow &window, int interval = 1000);
    ~Win32Timer() override;
    Win32Timer(const Win32Timer &) = delete;
    Win32Timer &operator=(const Win32Timer &) = delete;

    void setInterval(int milliseconds) override;
    int interval() const override { return interval_; }
    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return enabled_; }
    void setTickHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

    // Whether a system timer runs for it now.
    bool isTicking() const { return id_ != 0; }

private:
    void start();
    void stop();

    MessageWindow &window_;
    int interval_;
    bool enabled_ = false;
    UINT_PTR id_ = 0;
    std::function<void()> handler_;
};

} // namespace qm
