#include "win32/trayicon.h"

#include <cstring>

namespace qm
{

TrayIconData MakeTrayIconData(HWND window, HICON icon, UINT callbackMessage)
{
    TrayIconData d{};
    d.cbSize = sizeof(TrayIconData);
    d.hWnd = window;
    d.uID = 1;
    d.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    d.uCallbackMessage = callbackMessage;
    d.hIcon = icon;
    std::memset(d.szTip, ' ', sizeof d.szTip);
    static_assert(TrayTip.size() < sizeof d.szTip);
    std::memcpy(d.szTip, TrayTip.data(), TrayTip.size());
    d.szTip[TrayTip.size()] = '\0';
    return d;
}

TrayIcon::TrayIcon(HWND window, HICON icon, Reaction reaction, ShellCall shell)
    : data_(MakeTrayIconData(window, icon, TrayCallbackMessage)), reaction_(std::move(reaction)),
      shell_(std::move(shell)), taskbarCreated_(RegisterWindowMessageA("TaskbarCreated"))
{
    if (!shell_)
        shell_ = [](DWORD operation, TrayIconData &d) {
            return Shell_NotifyIconA(operation, reinterpret_cast<NOTIFYICONDATAA *>(&d));
        };
}

TrayIcon::~TrayIcon()
{
    remove();
}

bool TrayIcon::add()
{
    wanted_ = true;
    if (!added_)
        added_ = shell_(NIM_ADD, data_) != FALSE;
    return added_;
}

void TrayIcon::remove()
{
    wanted_ = false;
    if (added_)
        shell_(NIM_DELETE, data_);
    added_ = false;
}

bool TrayIcon::handleMessage(UINT message, WPARAM, LPARAM lParam)
{
    if (message == data_.uCallbackMessage) {
        if (reaction_)
            reaction_(static_cast<unsigned>(lParam));
        return true;
    }
    if (taskbarCreated_ != 0 && message == taskbarCreated_) {
        // The new shell knows no icon: whatever was there went with the old one.
        added_ = false;
        if (wanted_)
            add();
        return true;
    }
    return false;
}

} // namespace qm
