#include "win32/sessionend.h"

namespace qm
{
namespace
{

constexpr char ClassName[] = "QuillmastSessionEnd";

} // namespace

SessionEndWatcher::SessionEndWatcher(MessageWindow &ui, std::function<void()> requested)
    : ui_(ui), requested_(std::move(requested)),
      released_(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, ready] { run(ready); });
    WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
}

SessionEndWatcher::~SessionEndWatcher()
{
    SetEvent(released_);
    if (HWND w = window_)
        PostMessageA(w, WM_CLOSE, 0, 0);
    if (thread_.joinable())
        thread_.join();
    ui_.forget(this);
    CloseHandle(released_);
}

void SessionEndWatcher::run(HANDLE ready)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = &SessionEndWatcher::procedure;
    wc.hInstance = instance;
    wc.lpszClassName = ClassName;
    RegisterClassA(&wc);
    // Top-level (the session's messages go to top-level windows only) and
    // never shown.
    HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, ClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                             nullptr, instance, nullptr);
    if (w)
        SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    window_ = w;
    SetEvent(ready);
    if (!w)
        return;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void SessionEndWatcher::onEnd()
{
    if (!pending_.exchange(true))
        ui_.post(this, [this] {
            if (requested_)
                requested_();
        });
    // The program ends meanwhile, and this thread with it.
    WaitForSingleObject(released_, HoldMs);
}

LRESULT CALLBACK SessionEndWatcher::procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto *self = reinterpret_cast<SessionEndWatcher *>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_QUERYENDSESSION:
        return TRUE; // nothing to save: every entry is whole when written
    case WM_ENDSESSION:
        if (self && wp)
            self->onEnd();
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

} // namespace qm
