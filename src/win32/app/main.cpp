// The Windows program: builds the Win32 seams, the console's window, the
// gateway over them and the console's rules, wires the end of the session
// to them and runs the message loop through the event pump.

#include "console/smsconsole.h"
#include "console/viewfields.h"
#include "win32/comrecipientfilter.h"
#include "win32/messagewindow.h"
#include "win32/sessionend.h"
#include "win32/win32clock.h"
#include "win32/win32consoleview.h"
#include "win32/win32eventpump.h"
#include "win32/win32filedialog.h"
#include "win32/win32notifier.h"
#include "win32/win32serialport.h"
#include "win32/win32timer.h"

#include <windows.h>

#include <string>

namespace
{

// The executable's folder, with a trailing "\".
std::string programFolder()
{
    std::string path(MAX_PATH * 4, '\0');
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".\\") : path.substr(0, slash + 1);
}

// Twips become pixels at the screen's real DPI, not one the system scales
// the window to afterwards. The call is there from Vista on.
void declareDpiAware()
{
    using SetAware = BOOL(WINAPI *)();
    if (HMODULE user = GetModuleHandleA("user32.dll"))
        if (auto set = reinterpret_cast<SetAware>(
                reinterpret_cast<void *>(GetProcAddress(user, "SetProcessDPIAware"))))
            set();
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // A drive without a medium (the outbox path dialog's drive list) fails
    // the call instead of asking the operator through a system box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    declareDpiAware();
    // COM for the recipient filter component, on this, the UI thread.
    qm::ComApartment com;

    const std::string folder = programFolder();
    qm::MessageWindow ui;
    // The console gives its timers their designed intervals.
    qm::Win32Timer checkPendingSMS(ui), sec1(ui), sec2(ui), sec4(ui), sec8(ui), sec10(ui),
        startRetry(ui), trayWatch(ui);
    qm::Win32EventPump pump;
    qm::Win32Clock clock;
    qm::Win32Notifier notifier;
    qm::Win32FileDialog fileDialog(folder);
    // COM n is the system's COMn whatever the folder.
    qm::Win32SerialPort port(ui, folder);

    // The gateway reads the console's fields and writes its status line; the
    // console drives the gateway. Neither owns the other.
    qm::Win32ConsoleView view(pump);
    notifier.setOwner(view.handle());
    qm::ViewFields fields(view);
    qm::Gateway gw{qm::GatewayState{},
                   port,
                   pump,
                   clock,
                   notifier,
                   fields,
                   fields,
                   qm::ConsoleTimers{checkPendingSMS, sec1, sec2, sec4, sec8, sec10}};
    gw.recipientFilter = qm::MakeComRecipientFilterFactory();

    // The end of the session, heard also while the UI thread blocks in the
    // dial's carrier wait: the console asks between its pauses.
    qm::SMSConsole *console = nullptr;
    qm::SessionEndWatcher sessionEnd(ui, [&console] {
        if (console)
            console->systemClose();
    });
    qm::SMSConsole rules(view, gw,
                         qm::ConsoleOptions{fileDialog, folder, startRetry, trayWatch,
                                            /*terminate: at once*/ {},
                                            [&sessionEnd] { return sessionEnd.pending(); }});
    console = &rules;
    rules.startUp();
    // The program ends only through the console (Exit, the system's close).
    for (;;)
        pump.pump();
}
