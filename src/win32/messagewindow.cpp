#include "win32/messagewindow.h"

#include <stdexcept>

namespace qm
{
namespace
{

constexpr UINT CallMessage = WM_APP + 0x30;
constexpr char ClassName[] = "QuillmastMessageWindow";

} // namespace

MessageWindow::MessageWindow()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = &MessageWindow::procedure;
    wc.hInstance = instance;
    wc.lpszClassName = ClassName;
    // A second window of the class finds it registered already.
    RegisterClassA(&wc);
    hwnd_ =
        CreateWindowExA(0, ClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (!hwnd_)
        throw std::runtime_error("the message window could not be created");
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

MessageWindow::~MessageWindow()
{
    for (const auto &[id, tick] : timers_)
        KillTimer(hwnd_, id);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

UINT_PTR MessageWindow::startTimer(unsigned milliseconds, std::function<void()> onTick)
{
    const UINT_PTR id = nextTimerId_++;
    if (SetTimer(hwnd_, id, milliseconds < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM : milliseconds,
                 nullptr) == 0)
        return 0;
    ++timersStarted_;
    timers_[id] = std::move(onTick);
    return id;
}

void MessageWindow::stopTimer(UINT_PTR id)
{
    if (timers_.erase(id) != 0)
        KillTimer(hwnd_, id);
}

void MessageWindow::post(const void *owner, std::function<void()> call)
{
    {
        std::lock_guard lock(callsMutex_);
        calls_.emplace_back(owner, std::move(call));
    }
    // One message a call. Should the queue be full, the call still waits
    // and runs at the next call message.
    PostMessageA(hwnd_, CallMessage, 0, 0);
}

void MessageWindow::forget(const void *owner)
{
    std::lock_guard lock(callsMutex_);
    std::erase_if(calls_, [owner](const auto &c) { return c.first == owner; });
}

std::size_t MessageWindow::waiting()
{
    std::lock_guard lock(callsMutex_);
    return calls_.size();
}

void MessageWindow::onTimer(UINT_PTR id)
{
    const auto it = timers_.find(id);
    if (it == timers_.end())
        return; // stopped: a late tick
    // A copy: the handler may stop or restart its own timer.
    const std::function<void()> tick = it->second;
    if (tick)
        tick();
}

void MessageWindow::runOneCall()
{
    std::function<void()> call;
    {
        std::lock_guard lock(callsMutex_);
        if (calls_.empty())
            return; // forgotten, or run by an earlier message
        call = std::move(calls_.front().second);
        calls_.pop_front();
    }
    // Outside the lock: the call may pump (a modal box) and so run further
    // calls nested, or post new ones.
    if (call)
        call();
}

LRESULT CALLBACK MessageWindow::procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto *self = reinterpret_cast<MessageWindow *>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && msg == WM_TIMER) {
        self->onTimer(static_cast<UINT_PTR>(wp));
        return 0;
    }
    if (self && msg == CallMessage) {
        self->runOneCall();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace qm
