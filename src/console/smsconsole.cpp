#include "console/smsconsole.h"

#include "commands/autosending.h"
#include "config/settings.h"
#include "console/face.h"
#include "console/trayreaction.h"
#include "modem/applymodemsettings.h"
#include "modem/portevents.h"
#include "pure/protocols.h"

#include <algorithm>

namespace qm
{
namespace
{

using C = ConsoleControl;

// What each protocol shows, in this order: a field shown or hidden, or a
// label relabelled (UCP gives it its designed caption, TAP the one here).
struct ProtocolRow {
    C control;
    bool ucp, tap;
    std::string_view tapCaption;
};
constexpr ProtocolRow ProtocolFields[] = {
    {C::cmbOperationType, true, false, {}},
    {C::lcmbOperationType, true, false, {}},
    {C::ltxtAuthenticationCode, true, true, "Password"},
    {C::txtAuthenticationCode, true, true, {}},
    {C::txtLegitimizationCode, true, false, {}},
    {C::ltxtLegitimizationCode, true, true, "Delivered Text"},
    {C::txtDelivered, false, true, {}},
    {C::txtStored, false, true, {}},
    {C::ltxtStored, false, true, {}},
};

bool isList(C control)
{
    return ConsoleFace[control].kind == ControlKind::ChoiceList;
}

} // namespace

SMSConsole::SMSConsole(ConsoleView &view, Gateway &gw, ConsoleOptions options)
    : view_(view), gw_(gw), options_(std::move(options)), testSMS_(gw, view), changePath_(gw, view),
      about_(view)
{
    ConsoleTimers &t = gw_.timers;
    Timer *const designed[] = {&t.CheckPendingSMS, &t.sec1, &t.sec2, &t.sec4, &t.sec8, &t.sec10};
    static_assert(std::size(designed) == ConsoleTimerFaces.size());
    for (std::size_t i = 0; i < ConsoleTimerFaces.size(); ++i) {
        designed[i]->setEnabled(false);
        designed[i]->setInterval(ConsoleTimerFaces[i].interval);
    }
    ConnectConsoleTimers(gw_);
    const std::pair<Timer *, int> own[] = {{&options_.startRetry, StartRetryInterval},
                                           {&options_.trayWatch, TrayWatchInterval}};
    for (const auto &[timer, interval] : own) {
        timer->setEnabled(false);
        timer->setInterval(interval);
    }
    options_.startRetry.setTickHandler([this] { onStartRetry(); });
    options_.trayWatch.setTickHandler([this] { onTrayWatch(); });
    gw_.port.setEventHandler([this](PortEvent e) { OnPortEvent(gw_, e); });
    // The dial's carrier wait serves no events: a close the system asked for
    // meanwhile is carried out between its pauses.
    if (options_.systemClosePending)
        gw_.serveEndRequest = [this] {
            if (options_.systemClosePending())
                systemClose();
        };
    view_.setEvents(*this);
}

void SMSConsole::startUp()
{
    GatewayState &st = gw_.state;
    view_.hide();
    st.Connected = false;
    st.TestMode = false;
    gw_.timers.CheckPendingSMS.setEnabled(false);
    st.ExitRequested = false;
    gw_.port.setReadLength(0);
    st.SettingsLoaded = false;
    // From here on each step stands on its own: a value that does not fit
    // leaves that one thing as it was.
    loaded_ = LoadSettings(gw_, options_.programFolder, options_.fileDialog);
    st.AppPath = options_.programFolder;
    hasTray_ = view_.trayAvailable();
    if (hasTray_)
        view_.showTrayIcon();
    else
        watchForTray();
    fillLists();
    gw_.port.setReadLength(0);
    putLoadedValues();
    st.SettingsLoaded = true;
    view_.show();
}

void SMSConsole::fillLists()
{
    for (C list : {C::cmbProtocol, C::cmbOperationType, C::cmbBaudrate, C::cmbSMSType})
        view_.setEntries(list, ListEntries(list));
    view_.setEnabled(C::cmdStartSendSMS, false);
    view_.setEnabled(C::cmdSendTestSMS, false);
    view_.setEntries(C::cmbModem, ListEntries(C::cmbModem));
}

// Each value put in is handled as the operator's change would be (nothing is
// saved yet), so the serial settings are applied as each modem list is filled.
void SMSConsole::putLoadedValues()
{
    const ConsoleSettings &s = loaded_;
    if (s.Port >= 1 && s.Port <= int(ListEntries(C::cmbModem).size()))
        selectLoaded(C::cmbModem, ListEntries(C::cmbModem)[std::size_t(s.Port - 1)]);
    selectLoaded(C::cmbSMSType, s.Setting);
    selectLoaded(C::cmbBaudrate, s.BaudRate);
    setLoadedText(C::txtSMSCenterNumber, s.SMSCenterNumber);
    selectLoaded(C::cmbProtocol, s.Protocol);
    selectLoaded(C::cmbOperationType, s.OpType);
    if (s.PollingInterval >= 0)
        gw_.timers.CheckPendingSMS.setInterval(s.PollingInterval);
    setLoadedText(C::txtStored, s.TAPStoredText);
    setLoadedText(C::txtDelivered, s.TAPDeliveredText);
    setLoadedText(C::txtAuthenticationCode, s.AuthenticationCode);
    setLoadedText(C::txtLegitimizationCode, s.LegitimizationCode);
}

// A value that is not one of the list's entries selects nothing, and no
// change is handled.
void SMSConsole::selectLoaded(C list, const std::string &value)
{
    const std::vector<std::string> &entries = ListEntries(list);
    const auto at = std::ranges::find(entries, value);
    if (at == entries.end())
        return;
    view_.select(list, int(at - entries.begin()));
    listAction(list);
}

void SMSConsole::setLoadedText(C field, const std::string &value)
{
    view_.setText(field, value);
    textAction(field);
}

void SMSConsole::listClicked(C list)
{
    listAction(list);
}

// A list is left only when the focus moves from it straight to another
// control of the console: another window taking over (About, a message box,
// the list's own drop-down) is no leaving of it.
void SMSConsole::focusMoved(std::optional<C> from, std::optional<C> to)
{
    if (from && to && isList(*from))
        listAction(*from);
}

void SMSConsole::listAction(C list)
{
    switch (list) {
    case C::cmbModem:
    case C::cmbBaudrate:
    case C::cmbSMSType:
        ApplyModemSettings(gw_);
        break;
    case C::cmbOperationType:
        saveIfLoaded();
        break;
    case C::cmbProtocol:
        protocolSwitch();
        break;
    default:
        break;
    }
}

void SMSConsole::textChanged(C field)
{
    // The settings file's format has no escape for a double quote: a text
    // field does not take one.
    std::string text = view_.text(field);
    if (std::erase(text, '"') > 0)
        view_.setText(field, text);
    textAction(field);
}

// txtLegitimizationCode has no handler: its text is saved with the next save
// another field causes.
void SMSConsole::textAction(C field)
{
    switch (field) {
    case C::txtSMSCenterNumber: {
        // Blanks count as text.
        const bool enable = !view_.text(C::txtSMSCenterNumber).empty();
        view_.setEnabled(C::cmdStartSendSMS, enable);
        view_.setEnabled(C::cmdSendTestSMS, enable);
        saveIfLoaded();
        break;
    }
    case C::txtAuthenticationCode:
    case C::txtStored:
    case C::txtDelivered:
        saveIfLoaded();
        break;
    default:
        break;
    }
}

void SMSConsole::protocolSwitch()
{
    showProtocolFields(IsUCP(gw_.fields.protocol()));
    saveIfLoaded();
}

void SMSConsole::showProtocolFields(bool ucp)
{
    for (const ProtocolRow &row : ProtocolFields) {
        if (row.tapCaption.empty())
            view_.setVisible(row.control, ucp ? row.ucp : row.tap);
        else
            view_.setText(row.control,
                          std::string(ucp ? ConsoleFace[row.control].caption : row.tapCaption));
    }
}

void SMSConsole::saveIfLoaded()
{
    if (gw_.state.SettingsLoaded)
        SaveSettings(gw_);
}

void SMSConsole::clicked(C button)
{
    switch (button) {
    case C::cmdStartSendSMS:
        startSendSMS();
        break;
    case C::cmdSendTestSMS:
        testSMS_.open();
        break;
    case C::cmdAbout:
        showAbout();
        break;
    default:
        break;
    }
}

void SMSConsole::startSendSMS()
{
    const SendCycleResult result =
        PressStartSendSMS(gw_, view_.text(C::cmdStartSendSMS), [this](std::string_view caption) {
            view_.setText(C::cmdStartSendSMS, std::string(caption));
        });
    // A test message is under way further up the stack, and the loop cannot
    // start inside it: try again each second until it has ended.
    if (result == SendCycleResult::ExchangeBusy)
        options_.startRetry.setEnabled(true);
}

void SMSConsole::onStartRetry()
{
    options_.startRetry.setEnabled(false);
    // A Stop in between cancels: the flag and the caption are checked again.
    if (!gw_.state.AutoSending || view_.text(C::cmdStartSendSMS) != StopSendingCaption)
        return;
    if (RunAutomaticSending(gw_) == SendCycleResult::ExchangeBusy)
        options_.startRetry.setEnabled(true);
}

void SMSConsole::menuChosen(MenuCommand command)
{
    switch (command) {
    case MenuCommand::mnuPopupOpen:
        openConsole();
        break;
    case MenuCommand::mnuPopupAbout:
        showAbout();
        break;
    case MenuCommand::mnuPopupExit:
        exitProgram();
        break;
    case MenuCommand::mnuChangeOutboxPath:
        changeOutboxPath();
        break;
    }
}

void SMSConsole::changeOutboxPath()
{
    changePath_.open();
    saveIfLoaded();
}

void SMSConsole::trayNotification(int code)
{
    switch (ReactionTo(code)) {
    case TrayReaction::Restore:
        view_.restore();
        break;
    case TrayReaction::PopupMenu:
        view_.popUpTrayMenu();
        break;
    case TrayReaction::Nothing:
        break;
    }
}

// The desktop's panel often starts after the program: look again every two
// seconds until a tray is there, then put the icon in it; from then on the
// console hides into it.
void SMSConsole::watchForTray()
{
    options_.trayWatch.setEnabled(true);
}

void SMSConsole::onTrayWatch()
{
    if (!view_.trayAvailable())
        return;
    options_.trayWatch.setEnabled(false);
    hasTray_ = true;
    view_.showTrayIcon();
}

// Hidden in the tray; where there is none, hiding would leave no way back, so
// the console is minimised instead.
void SMSConsole::hideConsole()
{
    if (hasTray_)
        view_.hide();
    else
        view_.minimise();
}

void SMSConsole::showAbout()
{
    hideConsole();
    about_.open();
}

void SMSConsole::openConsole()
{
    view_.show();
    view_.focusWindow();
}

void SMSConsole::closeBox()
{
    close(CloseReason::CloseBox);
}

void SMSConsole::exitProgram()
{
    gw_.state.ExitRequested = true;
    close(CloseReason::Program);
    endProcess();
}

void SMSConsole::systemClose()
{
    close(CloseReason::System);
    endProcess();
}

bool SMSConsole::close(CloseReason reason)
{
    if (reason == CloseReason::CloseBox && !gw_.state.ExitRequested) {
        hideConsole();
        return false;
    }
    // The window closes; unloading it takes the tray icon away.
    view_.hide();
    view_.hideTrayIcon();
    return true;
}

void SMSConsole::endProcess()
{
    EndProcess(gw_, options_.terminate);
}

} // namespace qm
