#pragma once
// The console's icon in the notification area, on Shell_NotifyIconA with
// the record in its first, 88-byte form (what the single-byte call of every
// Windows takes). It is added at start-up, added again when the shell
// restarts (the shell then broadcasts "TaskbarCreated"), and removed when the
// console unloads. The icon is never modified.
//
// Notifications come to the console's window as a message of their own:
// the mouse message that happened on the icon (514 left button up, 515
// double-click, 517 right button up ...) is its lParam. The callback message
// is a private one, WM_APP + 1, not the window's own mouse-move message: with
// WM_MOUSEMOVE every real mouse move over the console would read as a tray
// notification (a move at x = 514 as a click on the icon). What a code does
// is the console's business; this class only hands the codes on.

#include "console/face.h"

#include <windows.h>

#include <shellapi.h>

#include <cstddef>
#include <functional>

namespace qm
{

// The record, field by field as the shell reads it.
struct TrayIconData {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[64];
};
static_assert(sizeof(TrayIconData) == 88, "the 32-bit record");
static_assert(offsetof(TrayIconData, hWnd) == offsetof(NOTIFYICONDATAA, hWnd));
static_assert(offsetof(TrayIconData, uID) == offsetof(NOTIFYICONDATAA, uID));
static_assert(offsetof(TrayIconData, uFlags) == offsetof(NOTIFYICONDATAA, uFlags));
static_assert(offsetof(TrayIconData, uCallbackMessage) ==
              offsetof(NOTIFYICONDATAA, uCallbackMessage));
static_assert(offsetof(TrayIconData, hIcon) == offsetof(NOTIFYICONDATAA, hIcon));
static_assert(offsetof(TrayIconData, szTip) == offsetof(NOTIFYICONDATAA, szTip));
static_assert(sizeof(TrayIconData) == NOTIFYICONDATAA_V1_SIZE);

inline constexpr UINT TrayCallbackMessage = WM_APP + 1;

// Size 88, icon id 1, flags message + icon + tip (7), the tip followed by a
// NUL and blanks to the end of its field.
TrayIconData MakeTrayIconData(HWND window, HICON icon, UINT callbackMessage);

class TrayIcon
{
public:
    // Gets each notification code. The shell's call is replaceable (tests).
    using Reaction = std::function<void(unsigned code)>;
    using ShellCall = std::function<BOOL(DWORD operation, TrayIconData &data)>;

    TrayIcon(HWND window, HICON icon, Reaction reaction, ShellCall shell = {});
    ~TrayIcon();
    TrayIcon(const TrayIcon &) = delete;
    TrayIcon &operator=(const TrayIcon &) = delete;

    // NIM_ADD. False when the shell has no notification area yet (the icon
    // then comes with the shell's "TaskbarCreated").
    bool add();
    // NIM_DELETE, once.
    void remove();
    bool added() const { return added_; }

    // For the owning window's procedure: true when the message was the
    // tray's (a notification, or the shell's restart).
    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    const TrayIconData &data() const { return data_; }

private:
    TrayIconData data_;
    Reaction reaction_;
    ShellCall shell_;
    UINT taskbarCreated_;
    bool added_ = false;
    bool wanted_ = false; // added once: the shell's restart brings it back
};

} // namespace qm
