#include "win32/win32eventpump.h"

#include <algorithm>
#include <chrono>

namespace qm
{
namespace
{

constexpr int MostMessagesAPump = 256;

bool isOnWindow(HWND window, HWND target)
{
    return target == window || IsChild(window, target);
}

} // namespace

void Win32EventPump::addDialog(HWND window)
{
    if (std::find(dialogs_.begin(), dialogs_.end(), window) == dialogs_.end())
        dialogs_.push_back(window);
}

void Win32EventPump::removeDialog(HWND window)
{
    std::erase(dialogs_, window);
}

void Win32EventPump::setAccelerators(HWND window, HACCEL table)
{
    acceleratorWindow_ = table ? window : nullptr;
    accelerators_ = table;
}

bool Win32EventPump::translate(MSG &msg) const
{
    if (msg.hwnd == nullptr)
        return false;
    if (accelerators_ && isOnWindow(acceleratorWindow_, msg.hwnd) &&
        TranslateAcceleratorA(acceleratorWindow_, accelerators_, &msg))
        return true;
    for (HWND dialog : dialogs_)
        if (isOnWindow(dialog, msg.hwnd) && IsDialogMessageA(dialog, &msg))
            return true;
    return false;
}

int Win32EventPump::servePending()
{
    int served = 0;
    MSG msg;
    while (served < MostMessagesAPump && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ++served;
        // Kept for the outermost loop to see; putting it back would have
        // every later pump take it again at once.
        if (msg.message == WM_QUIT) {
            quitRequested_ = true;
            continue;
        }
        if (translate(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return served;
}

void Win32EventPump::pump(std::optional<TimePoint> wakeBy)
{
    if (servePending() > 0)
        return;
    DWORD timeout = INFINITE;
    if (wakeBy) {
        const auto now = std::chrono::time_point_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now());
        const long long left = (*wakeBy - now).count();
        if (left <= 0)
            return; // due already, and nothing was pending
        timeout = static_cast<DWORD>(std::min<long long>(left, 24LL * 3600 * 1000));
    }
    // MWMO_INPUTAVAILABLE: a message already in the queue (one the peek
    // above left, a timer due) ends the wait at once.
    MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    servePending();
}

} // namespace qm
