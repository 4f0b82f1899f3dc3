#pragma once
// The operator console's rules, over its view: start-up, settings editing,
// the automatic sending switch, the tray and the window's life, the dialogs.
// The view's fields are the gateway's live settings (ViewFields reads them);
// the program builds the view, the gateway over it and this console.

#include "commands/endprogram.h"
#include "console/dialogs.h"
#include "console/views.h"
#include "core/gateway.h"
#include "platform/filedialog.h"
#include "platform/timer.h"
#include "pure/configfile.h"

#include <functional>
#include <string>

namespace qm
{

struct ConsoleOptions {
    FileDialog &fileDialog;
    std::string programFolder; // the executable's folder, with trailing separator
    // Retries a start of automatic sending that a test message held up.
    Timer &startRetry;
    // Looks for a notification area that appears after the program.
    Timer &trayWatch;
    // How the process ends after Exit or a system close (unset: at once).
    Terminate terminate = {};
    // Whether the system has asked the program to end: asked between the
    // pauses of a blocking wait, where no event is served (unset: never).
    std::function<bool()> systemClosePending = {};
};

inline constexpr int StartRetryInterval = 1000; // ms
inline constexpr int TrayWatchInterval = 2000;  // ms

class SMSConsole final : public ConsoleEvents
{
public:
    // Sets the timers as designed, takes the port's events and the view's.
    // The view and the gateway outlive the console.
    SMSConsole(ConsoleView &view, Gateway &gw, ConsoleOptions options);

    // Runs once: flags, settings file, lists, fields, tray icon; then shows
    // the console.
    void startUp();

    // ConsoleEvents
    void listClicked(ConsoleControl list) override;
    void focusMoved(std::optional<ConsoleControl> from, std::optional<ConsoleControl> to) override;
    void textChanged(ConsoleControl field) override;
    void clicked(ConsoleControl button) override;
    void menuChosen(MenuCommand command) override;
    void trayNotification(int code) override;
    void closeBox() override;
    void systemClose() override;

    // The outbox path dialog, then a save once the settings are loaded.
    void changeOutboxPath();

private:
    enum class CloseReason { CloseBox, Program, System };

    void fillLists();
    void putLoadedValues();
    void selectLoaded(ConsoleControl list, const std::string &value);
    void setLoadedText(ConsoleControl field, const std::string &value);
    void listAction(ConsoleControl list);
    void textAction(ConsoleControl field);
    void protocolSwitch();
    void showProtocolFields(bool ucp);
    void saveIfLoaded();
    void startSendSMS();
    void onStartRetry();
    void watchForTray();
    void onTrayWatch();
    void hideConsole();
    void showAbout();
    void openConsole();
    void exitProgram();
    // Query-close and unload: false when the close is turned into hiding.
    bool close(CloseReason reason);
    void endProcess();

    ConsoleView &view_;
    Gateway &gw_;
    ConsoleOptions options_;
    ConsoleSettings loaded_;
    bool hasTray_ = false;
    TestSMSDialog testSMS_;
    ChangePathDialog changePath_;
    AboutDialog about_;
};

} // namespace qm
