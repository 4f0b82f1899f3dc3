#pragma once
// The console window on Win32, built from the console's face table: a
// passive view that passes the controls' notifications, the focus changes,
// the tray's codes, the menus' commands, the close box and the end of the
// session on to the console's rules and carries out their orders.
//
// - Focus: a thread hook (WH_CBT) sees every focus change and posts it to
//   the window, which tells it once the change is made: from a console
//   control, to one (or to none: another window, a box, outside).
// - Menus: mnuPopup at the cursor for the tray's 517, with Open drawn bold
//   (SetForegroundWindow first, so it closes when the operator clicks
//   elsewhere); the console's own menu on a right-click anywhere on it;
//   Ctrl+P through the pump's accelerator table.
// - Tray: TrayIcon (Shell_NotifyIconA, the 88-byte record, a private
//   callback message). A notification area is there when the shell's tray
//   window is.
// - WM_QUERYENDSESSION is answered yes, WM_ENDSESSION is the system's close.

#include "win32/trayicon.h"
#include "win32/win32formview.h"

#include <memory>

namespace qm
{

class Win32ConsoleView final : public Win32FormView<ConsoleControl, ConsoleView>
{
public:
    explicit Win32ConsoleView(Win32EventPump &pump);
    ~Win32ConsoleView() override;

    void setEvents(ConsoleEvents &events) override { events_ = &events; }
    void minimise() override;
    void restore() override;
    void focusWindow() override;
    bool trayAvailable() override;
    void showTrayIcon() override;
    void hideTrayIcon() override;
    void popUpTrayMenu() override;
    std::unique_ptr<TestSMSView> createTestSMS(TestSMSEvents &events) override;
    std::unique_ptr<ChangePathView> createChangePath(ChangePathEvents &events) override;
    std::unique_ptr<AboutView> createAbout(AboutEvents &events) override;

    TrayIcon &tray() { return *tray_; }

private:
    void onClicked(int control) override;
    void onEdited(int control) override;
    void onSelected(int control) override;
    void onClose() override;
    void onMenu(UINT id) override;
    LRESULT onMessage(UINT msg, WPARAM wp, LPARAM lp, bool &handled) override;
    void popUp(HMENU menu, POINT at);
    static LRESULT CALLBACK focusHook(int code, WPARAM wp, LPARAM lp);

    ConsoleEvents *events_ = nullptr;
    HMENU popup_ = nullptr, consoleMenu_ = nullptr;
    HACCEL accelerators_ = nullptr;
    std::unique_ptr<TrayIcon> tray_;
    HHOOK hook_ = nullptr;
};

} // namespace qm
