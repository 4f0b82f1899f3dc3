#pragma once
// A console timer over QTimer, with the seam's rules: enabling a running
// timer keeps its phase, and an interval of 0 never fires (the timer still
// counts as enabled).

#include "platform/timer.h"

#include <QTimer>

namespace qm
{

class QtTimer final : public Timer
{
public:
    explicit QtTimer(int interval = 1000);
    void setInterval(int milliseconds) override;
    int interval() const override { return interval_; }
    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return enabled_; }
    void setTickHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

private:
    void sync();

    QTimer timer_;
    int interval_;
    bool enabled_ = false;
    std::function<void()> handler_;
};

} // namespace qm
