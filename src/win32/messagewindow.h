#pragma once
// The UI thread's own message-only window. Timer ticks and calls handed over
// from other threads (the serial port's reader) arrive as its messages, so
// every message loop on the thread serves them: the event pump's, and the
// modal loop of a message box or a common dialog, which dispatches whatever
// window messages come but drops thread messages. That is what keeps port
// events and timers served while a box is open, as on Linux.

#include <windows.h>

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <utility>

namespace qm
{

class MessageWindow
{
public:
    // Made on the thread that is to serve it.
    MessageWindow();
    ~MessageWindow();
    MessageWindow(const MessageWindow &) = delete;
    MessageWindow &operator=(const MessageWindow &) = delete;

    HWND handle() const { return hwnd_; }

    // A window timer ticking every `milliseconds` (at least 1). Each start
    // gets an id of its own, so a tick of a timer stopped or restarted
    // meanwhile is told apart and dropped. 0 when the system refused it.
    UINT_PTR startTimer(unsigned milliseconds, std::function<void()> onTick);
    void stopTimer(UINT_PTR id);

    // From any thread: `call` runs on the window's thread the next time its
    // messages are served, in the order posted. `owner` tags it for forget().
    void post(const void *owner, std::function<void()> call);
    // Drops the calls of `owner` that have not run yet. On the window's thread.
    void forget(const void *owner);
    // How many calls wait, how many system timers were started (tests).
    std::size_t waiting();
    unsigned timersStarted() const { return timersStarted_; }

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void onTimer(UINT_PTR id);
    void runOneCall();

    HWND hwnd_ = nullptr;
    std::map<UINT_PTR, std::function<void()>> timers_;
    UINT_PTR nextTimerId_ = 1;
    unsigned timersStarted_ = 0;
    std::mutex callsMutex_;
    std::deque<std::pair<const void *, std::function<void()>>> calls_;
};

} // namespace qm
