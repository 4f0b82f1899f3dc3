#include "win32/win32consoleview.h"

#include "win32/win32dialogs.h"

namespace qm
{
namespace
{

using C = ConsoleControl;

constexpr UINT FocusMessage = WM_APP + 2;
// The one console of the process, for the focus hook.
HWND focusTarget = nullptr;

std::optional<MenuCommand> commandOf(UINT id)
{
    const UINT last = MenuCommandId(MenuCommand::mnuChangeOutboxPath);
    if (id < MenuIdBase || id > last)
        return std::nullopt;
    return MenuCommand(id - MenuIdBase);
}

} // namespace

Win32ConsoleView::Win32ConsoleView(Win32EventPump &pump)
    : Win32FormView(pump, ConsoleFace, ConsoleStyle), popup_(BuildPopupMenu(PopupMenuFace)),
      consoleMenu_(BuildPopupMenu(ConsoleMenuFace)),
      accelerators_(BuildAccelerators(ConsoleMenuFace))
{
    tray_ = std::make_unique<TrayIcon>(
        handle(), FormIconHandle(FormIcon::Application, GetSystemMetrics(SM_CXSMICON)),
        [this](unsigned code) {
            if (events_)
                events_->trayNotification(static_cast<int>(code));
        });
    pump.setAccelerators(handle(), accelerators_);
    focusTarget = handle();
    hook_ = SetWindowsHookExA(WH_CBT, &Win32ConsoleView::focusHook, nullptr, GetCurrentThreadId());
}

Win32ConsoleView::~Win32ConsoleView()
{
    if (hook_)
        UnhookWindowsHookEx(hook_);
    focusTarget = nullptr;
    pump().setAccelerators(handle(), nullptr);
    tray_.reset();
    DestroyAcceleratorTable(accelerators_);
    DestroyMenu(popup_);
    DestroyMenu(consoleMenu_);
}

LRESULT CALLBACK Win32ConsoleView::focusHook(int code, WPARAM wp, LPARAM lp)
{
    // Told after the change, not inside it: a handler may open a box.
    if (code == HCBT_SETFOCUS && focusTarget)
        PostMessageA(focusTarget, FocusMessage, wp, lp);
    return CallNextHookEx(nullptr, code, wp, lp);
}

void Win32ConsoleView::onClicked(int control)
{
    if (events_)
        events_->clicked(C(control));
}

void Win32ConsoleView::onEdited(int control)
{
    if (events_)
        events_->textChanged(C(control));
}

void Win32ConsoleView::onSelected(int control)
{
    if (events_)
        events_->listClicked(C(control));
}

void Win32ConsoleView::onClose()
{
    if (events_)
        events_->closeBox();
}

void Win32ConsoleView::onMenu(UINT id)
{
    if (const auto command = commandOf(id); command && events_)
        events_->menuChosen(*command);
}

LRESULT Win32ConsoleView::onMessage(UINT msg, WPARAM wp, LPARAM lp, bool &handled)
{
    handled = true;
    if (tray_ && tray_->handleMessage(msg, wp, lp))
        return 0;
    switch (msg) {
    case FocusMessage: {
        const HWND now = reinterpret_cast<HWND>(wp), before = reinterpret_cast<HWND>(lp);
        const std::optional<C> from = controlId(before), to = controlId(now);
        if (events_ && (from || to))
            events_->focusMoved(from, to);
        return 0;
    }
    case WM_CONTEXTMENU: {
        POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        if (lp == -1) { // from the keyboard: near the window's corner
            at = POINT{8, 8};
            ClientToScreen(handle(), &at);
        }
        popUp(consoleMenu_, at);
        return 0;
    }
    case WM_QUERYENDSESSION:
        return TRUE; // nothing to save: every entry is whole when written
    case WM_ENDSESSION:
        if (wp && events_)
            events_->systemClose();
        return 0;
    default:
        handled = false;
        return 0;
    }
}

void Win32ConsoleView::popUp(HMENU menu, POINT at)
{
    // In front first, or the menu would not close on a click elsewhere;
    // the command comes back once it has closed.
    SetForegroundWindow(handle());
    const UINT id = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, handle(), nullptr));
    PostMessageA(handle(), WM_NULL, 0, 0);
    if (id != 0)
        onMenu(id);
}

void Win32ConsoleView::popUpTrayMenu()
{
    POINT at{};
    GetCursorPos(&at);
    popUp(popup_, at);
}

void Win32ConsoleView::minimise()
{
    ShowWindow(handle(), SW_MINIMIZE);
}

void Win32ConsoleView::restore()
{
    ShowWindow(handle(), IsIconic(handle()) || IsZoomed(handle()) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(handle());
    ShowWindow(handle(), SW_SHOW);
}

void Win32ConsoleView::focusWindow()
{
    if (IsIconic(handle()))
        ShowWindow(handle(), SW_RESTORE);
    SetForegroundWindow(handle());
    SetActiveWindow(handle());
}

bool Win32ConsoleView::trayAvailable()
{
    return FindWindowA("Shell_TrayWnd", nullptr) != nullptr;
}

void Win32ConsoleView::showTrayIcon()
{
    tray_->add();
}

void Win32ConsoleView::hideTrayIcon()
{
    tray_->remove();
}

std::unique_ptr<TestSMSView> Win32ConsoleView::createTestSMS(TestSMSEvents &events)
{
    return std::make_unique<Win32TestSMSView>(pump(), TestSMSFace, events);
}

std::unique_ptr<ChangePathView> Win32ConsoleView::createChangePath(ChangePathEvents &events)
{
    return std::make_unique<Win32ChangePathView>(pump(), events);
}

std::unique_ptr<AboutView> Win32ConsoleView::createAbout(AboutEvents &events)
{
    return std::make_unique<Win32AboutView>(pump(), events);
}

} // namespace qm
