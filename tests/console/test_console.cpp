// The console's rules over recording views in the simulated world, with the
// simulated modem and centre behind the port: start-up with odd settings
// files, the edits, the protocol switch, sending, the tray and the window's
// life, the dialogs; and the face table against the design's own figures.

#include "commands/autosending.h"
#include "console/smsconsole.h"
#include "console/viewfields.h"
#include "fakeviews.h"
#include "sendrig.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using C = ConsoleControl;
using Messages = std::vector<std::pair<std::string, std::string>>;

const std::string CompleteFile =
    "\"AppPath=C:\\old\\\"\r\n\"Port=2\"\r\n\"Setting=E 7 1\"\r\n\"BaudRate=19200\"\r\n"
    "\"SMSCenterNumber=0612345\"\r\n\"Protocol=UCP\"\r\n\"OpType=51\"\r\n"
    "\"TAPStoredText=stored\"\r\n\"TAPDeliveredText=delivered\"\r\n"
    "\"AuthenticationCode=auth\"\r\n\"LegitimizationCode=legit\"\r\n\"PollingInterval=2000\"\r\n";

// The console started over a fake window, in a temporary program folder with `config` as its
// settings file (none: no file), the simulated modem and a UCP centre on its port. The file
// question is cancelled; the process end is recorded with what was left, instead of happening.
// The timers start odd so that the console's own set-up shows.
struct ConsoleRig : FakeFileDialog {
    explicit ConsoleRig(const std::optional<std::string> &config, bool tray = true)
    {
        if (config)
            std::ofstream(r.t.dir / "smsconf.conf", std::ios::binary) << *config;
        for (SimTimer *timer : timers())
            timer->setInterval(1), timer->setEnabled(true);
        w.trayAvailable = tray;
        const auto terminate = [this](int status) {
            ends.push_back(std::to_string(status) + (gw.state.SendCycleRunning ? " in cycle" : "") +
                           (r.port.isOpen() ? " port open" : "") + (w.trayIcon ? " icon" : "") +
                           (w.shown ? " shown" : ""));
        };
        console = std::make_unique<SMSConsole>(view, gw,
                                               ConsoleOptions{*this, r.t.gw.state.AppPath,
                                                              startRetry, trayWatch, terminate,
                                                              [this] { return closeAsked; }});
        console->startUp();
    }
    std::array<SimTimer *, 6> timers()
    {
        return {&r.t.CheckPendingSMS, &r.t.sec1, &r.t.sec2, &r.t.sec4, &r.t.sec8, &r.t.sec10};
    }
    std::string file() const { return r.t.readFile("smsconf.conf"); }
    // The fields as the gateway reads them: the port's position, the lists' texts, the texts.
    std::string shown() const
    {
        const ViewFields &f = fields;
        return std::to_string(f.modemIndex()) + "|" + f.smsType() + "|" + f.baudRate() + "|" +
               f.protocol() + "|" + f.operationType() + "|" + f.smsCenterNumber() + "|" +
               f.storedText() + "|" + f.deliveredText() + "|" + f.authenticationCode() + "|" +
               f.legitimizationCode();
    }

    SendRig r;
    SimTimer startRetry{r.t.world}, trayWatch{r.t.world};
    FakeConsole w;
    FakeConsoleView view{w};
    ViewFields fields{view};
    Gateway gw{GatewayState{}, r.port, r.t.world, r.t.world,
               r.t.notifier,   fields, fields,    r.t.timers};
    bool closeAsked = false;
    std::vector<std::string> ends; // each process end: status and what was left
    std::unique_ptr<SMSConsole> console;
};

// Whether the operation type, its label, the legitimisation code, the delivered and stored
// texts and the stored text's label are shown; then the two relabelled captions.
std::string protocolFace(const FakeConsole &w)
{
    std::string f;
    for (C c : {C::cmbOperationType, C::lcmbOperationType, C::txtLegitimizationCode,
                C::txtDelivered, C::txtStored, C::ltxtStored})
        f += w[c].visible ? '1' : '0';
    return f + " " + w[C::ltxtAuthenticationCode].text + "/" + w[C::ltxtLegitimizationCode].text;
}
const std::string UCPFace = "111000 Authentication Code/Legitimization Code";
const std::string TAPFace = "000111 Password/Delivered Text";
// Before any switch: all shown, the designed captions.
const std::string DesignedFace = "111111 Authentication Code/Legitimization Code";

TEST(ConsoleStartUp, OddSettingsFilesAndNoneGiveTheirFieldsTimersAndNoSave)
{
    const std::string oddValues = "\"Port=7\"\r\n\"Setting=N 9 1\"\r\n\"BaudRate=9601\"\r\n"
                                  "\"SMSCenterNumber= \"\r\n\"Protocol=ucp\"\r\n\"OpType=02\"\r\n";
    // Each list's choice, then each field's text; the polling interval; whether the two action
    // buttons are enabled; Err-0018 entries; the port's settings and number; protocol fields.
    const struct {
        const char *name;
        std::optional<std::string> file;
        std::string shown;
        int polling;
        bool buttons;
        int err0018;
        std::string port;
        std::string protocol;
    } rows[] = {
        // Selecting COM 1 applies the incomplete line settings ",": refused and logged.
        {"no entries", "", "0|||||||||", 0, false, 1, "1 9600,N,8,1", DesignedFace},
        // Each modem list applies the settings with what is filled so far: ",", then ",E,7,1".
        {"complete", CompleteFile, "1|E,7,1|19200|UCP|51|0612345|stored|delivered|auth|legit", 2000,
         true, 2, "2 19200,E,7,1", UCPFace},
        // No list takes a value it does not hold, and then no change is handled: no modem
        // settings applied, no protocol's fields shown. Blanks count as a number.
        {"values no list holds", oddValues, "-1||||| ||||", 0, true, 0, "1 9600,N,8,1",
         DesignedFace},
        {"TAP", "\"Port=3\"\r\n\"Protocol=TAP\"\r\n", "2|||TAP||||||", 0, false, 1, "1 9600,N,8,1",
         TAPFace},
        {"no file", std::nullopt, "0|||||||||", 0, false, 1, "1 9600,N,8,1", DesignedFace},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ConsoleRig c(row.file);
        EXPECT_EQ(c.shown(), row.shown);
        std::vector<int> intervals;
        for (SimTimer *timer : c.timers()) {
            intervals.push_back(timer->interval());
            EXPECT_FALSE(timer->isEnabled());
        }
        EXPECT_EQ(intervals, (std::vector<int>{row.polling, 1000, 2000, 4000, 8000, 60000}));
        EXPECT_EQ(c.w[C::cmdStartSendSMS].enabled, row.buttons);
        EXPECT_EQ(c.w[C::cmdSendTestSMS].enabled, row.buttons);
        EXPECT_EQ(c.r.logged("Err-0018:Error occured in setting modem properties\rError:22-"),
                  row.err0018);
        EXPECT_EQ(std::to_string(c.r.port.portNumber()) + " " + c.r.port.settings(), row.port);
        EXPECT_EQ(protocolFace(c.w), row.protocol);
        // Nothing saved during start-up; the file question only when there is no file.
        EXPECT_EQ(fs::exists(c.r.t.dir / "smsconf.conf"), row.file.has_value());
        EXPECT_EQ(c.file(), row.file.value_or(""));
        EXPECT_EQ(c.asked, row.file ? std::vector<std::string>{}
                                    : std::vector<std::string>{
                                          "smsconf.conf Configuration Files (*.conf)|*.conf"});
        EXPECT_TRUE(c.gw.state.AppPath == c.r.t.gw.state.AppPath && c.gw.state.SettingsLoaded);
        // Hidden while it is prepared, the icon in the tray, shown at the end.
        EXPECT_EQ(c.w.orders, (std::vector<std::string>{"hide", "tray icon", "show"}));
    }
}

TEST(ConsoleEditing, EachEditSavesTheWholeFileAtOnceAndOnlyLeavingAListForAControlCounts)
{
    ConsoleRig c(CompleteFile);
    ConsoleEvents &e = *c.w.events;
    const std::string appPath = "\"AppPath=" + c.r.t.gw.state.AppPath + "\"\r\n";
    c.w.type(C::txtLegitimizationCode, "newcode"); // waits for the next save
    EXPECT_EQ(c.file(), CompleteFile);
    const auto removeFile = [&] { fs::remove(c.r.t.dir / "smsconf.conf"); };
    const std::tuple<std::function<void()>, std::string, std::string> edits[] = {
        {[&] { c.w.type(C::txtSMSCenterNumber, "999"); }, "\"SMSCenterNumber=999\"", UCPFace},
        // The file's format has no escape for a double quote: the field does not take one.
        {[&] { c.w.type(C::txtStored, "ca\"fe\""); }, "\"TAPStoredText=cafe\"", UCPFace},
        {[&] { c.w.type(C::txtDelivered, "d"); }, "\"TAPDeliveredText=d\"", UCPFace},
        {[&] { c.w.type(C::txtAuthenticationCode, "a"); }, "\"AuthenticationCode=a\"", UCPFace},
        {[&] { c.w.pick(C::cmbOperationType, 1); }, "\"OpType=03\"", UCPFace},
        {[&] { c.w.pick(C::cmbProtocol, 1); }, "\"Protocol=TAP\"", TAPFace},
        {[&] { c.w.pick(C::cmbProtocol, 0); }, "\"Protocol=UCP\"", UCPFace},
        {[&] { c.w.pick(C::cmbModem, 3); }, "\"Port=4\"", UCPFace},
        {[&] { c.w.pick(C::cmbBaudrate, 0); }, "\"BaudRate=110\"", UCPFace},
        {[&] { c.w.pick(C::cmbSMSType, 5); }, "\"Setting=N 7 1\"", UCPFace},
        // Leaving a list for another control saves even without a change.
        {[&] { removeFile(), e.focusMoved(C::cmbSMSType, C::txtStored); },
         "\"LegitimizationCode=newcode\"", UCPFace},
    };
    for (const auto &[edit, line, face] : edits) {
        SCOPED_TRACE(line);
        edit();
        const std::string file = c.file();
        EXPECT_NE(file.find(line + "\r\n"), std::string::npos) << file;
        EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 12);
        EXPECT_NE(file.find(appPath), std::string::npos);
        EXPECT_EQ(protocolFace(c.w), face);
    }
    EXPECT_EQ(c.w[C::txtStored].text, "cafe");
    // The modem choices reached the port.
    EXPECT_EQ(c.r.port.portNumber(), 4);
    EXPECT_EQ(c.r.port.settings(), "110,N,7,1");

    // The focus leaving a list for another window, or a text field for a list, is no edit.
    removeFile();
    e.focusMoved(C::cmbBaudrate, std::nullopt);
    e.focusMoved(C::txtStored, C::cmbModem);
    EXPECT_FALSE(fs::exists(c.r.t.dir / "smsconf.conf"));
    // The number enables both action buttons; blanks count.
    for (const std::string number : {"", " ", ""}) {
        c.w.type(C::txtSMSCenterNumber, number);
        EXPECT_EQ(c.w[C::cmdStartSendSMS].enabled && c.w[C::cmdSendTestSMS].enabled,
                  !number.empty());
    }
    // Leaving a modem list during a call asks once; the question's box taking the focus from
    // the next list is no leaving of it. No keeps the call.
    ASSERT_FALSE(c.r.port.open());
    c.r.t.notifier.answerYes = false;
    e.focusMoved(C::cmbBaudrate, C::cmbSMSType);
    e.focusMoved(C::cmbSMSType, std::nullopt);
    EXPECT_EQ(c.r.t.notifier.notices,
              (std::vector<Notice>{
                  {"Modem Settings", "Do you really want to change the modem Settings?", true}}));
    EXPECT_TRUE(c.r.port.isOpen());
}

TEST(WindowLife, TrayCodesThenTheCloseBoxHidesWhileSendingGoesOnAndExitEndsInsideTheExchange)
{
    ConsoleRig c(CompleteFile);
    // Moves, presses, the middle button: nothing.
    const std::pair<int, std::vector<std::string>> rows[] = {
        {512, {}},          {513, {}}, {514, {"restore"}},
        {515, {"restore"}}, {516, {}}, {517, {"tray menu"}},
        {519, {}},          {520, {}}};
    for (const auto &[code, orders] : rows) {
        c.w.closeBox(); // hides: there is a tray
        c.w.orders.clear();
        c.w.events->trayNotification(code);
        EXPECT_EQ(c.w.orders, orders) << code;
    }
    fs::create_directories(c.r.t.dir / "outbox");
    std::string running;
    bool runningEnabled = true, hiddenWhileSending = false;
    c.r.t.world.after(1500ms, [&] {
        // Clearing the number only disables the button; sending goes on.
        c.w.type(C::txtSMSCenterNumber, "");
        running = c.w[C::cmdStartSendSMS].text;
        runningEnabled = c.w[C::cmdStartSendSMS].enabled;
        c.w.type(C::txtSMSCenterNumber, "0612345");
        c.w.closeBox();
        hiddenWhileSending = !c.w.shown && c.gw.state.SendCycleRunning && c.w.trayIcon;
        std::ofstream(c.r.t.dir / "outbox" / "a.dat") << "\"0611\",\"disk full\"\r\n";
    });
    // Dialling the message (waiting for the carrier): Exit. Exit is chosen even when no exchange
    // runs, so a send that never dials fails here instead of cycling for ever.
    c.r.t.world.after(5000ms, [&] { // first seen at 2 s, taken at 4 s
        EXPECT_TRUE(c.gw.state.ExchangeInProgress);
        c.w.events->menuChosen(MenuCommand::mnuPopupExit);
    });
    c.w.click(C::cmdStartSendSMS);
    EXPECT_TRUE(running == StopSendingCaption && !runningEnabled && hiddenWhileSending);
    // The icon went and the window closed before the end; the port was closed.
    EXPECT_EQ(c.ends, std::vector<std::string>{"0 in cycle"});
    EXPECT_TRUE(c.gw.state.ExitRequested);
}

TEST(AutomaticSending, AStartPressedDuringATestMessageBeginsWithinASecondOfItsEnd)
{
    ConsoleRig c(CompleteFile);
    c.r.addMessage("a.dat", "\"0611\",\"one\"\r\n");
    c.w.click(C::cmdSendTestSMS);
    FakeTestSMS &dialog = *c.w.testSMS.at(0);
    dialog.type(TestSMSControl::txtSMSNumber, "0699");
    std::string statusAtStart;
    c.r.t.world.after(
        500ms, [&] { c.w.click(C::cmdStartSendSMS), statusAtStart = c.w[C::statusBar].text; });
    c.r.t.world.after(40s, [&] { c.w.click(C::cmdStartSendSMS); }); // Stop
    dialog.click(TestSMSControl::cmdSend);
    EXPECT_FALSE(dialog.shown);
    // The retry comes in the event loop, at the next tick of its timer.
    bool runningWithinASecond = false;
    c.r.t.world.after(1001ms, [&] { runningWithinASecond = c.gw.state.SendCycleRunning; });
    while (c.w[C::cmdStartSendSMS].text == StopSendingCaption)
        c.r.t.world.pump();
    EXPECT_TRUE(runningWithinASecond);
    EXPECT_EQ(statusAtStart, StartsAfterTestText);
    EXPECT_EQ(c.r.record.messages("accepted"),
              (Messages{{"0699", "Korvane Test Message"}, {"0611", "one"}}));
    EXPECT_FALSE(c.gw.state.AutoSending || c.startRetry.isEnabled());
}

TEST(WindowLife, WithoutATrayCloseBoxAndAboutMinimiseUntilOneAppearsAndASystemCloseEndsIt)
{
    ConsoleRig c(CompleteFile, false);
    ConsoleEvents &e = *c.w.events;
    EXPECT_FALSE(c.w.trayIcon);
    e.closeBox();
    EXPECT_TRUE(c.w.shown && c.w.minimised);
    e.menuChosen(MenuCommand::mnuPopupOpen);
    EXPECT_FALSE(c.w.minimised);
    // One about box at a time, which every way of closing destroys; the console stays away.
    const std::function<void(FakeAbout &)> closings[] = {
        [](FakeAbout &a) { a.click(AboutControl::cmdOK); }, [](FakeAbout &a) { a.escape(); },
        [](FakeAbout &a) { a.closeBox(); }};
    for (std::size_t i = 0; i < std::size(closings); ++i) {
        c.w.click(C::cmdAbout);
        e.menuChosen(MenuCommand::mnuPopupAbout); // the same box again
        ASSERT_EQ(c.w.about.size(), i + 1);
        closings[i](*c.w.about.back());
        EXPECT_TRUE(c.w.about.back()->destroyed && c.w.minimised);
    }

    // A panel that starts later takes the icon within the watch's two seconds (that About then
    // hides is tests/e2e's ConsoleUnderXvfb).
    c.w.trayAvailable = true;
    const auto appeared = c.r.t.world.elapsed();
    while (!c.w.trayIcon)
        c.r.t.world.pump();
    EXPECT_LE(c.r.t.world.elapsed() - appeared, 2s);
    EXPECT_FALSE(c.trayWatch.isEnabled());

    // The blocking carrier wait asks between its pauses whether the system wants the end.
    c.gw.serveEndRequest();
    c.closeAsked = true;
    c.gw.serveEndRequest();
    e.systemClose();
    EXPECT_EQ(c.ends, (std::vector<std::string>{"0", "0"}));
    EXPECT_FALSE(c.gw.state.ExitRequested);
}

TEST(TestMessageDialog, SendHidesItUnlessRefusedCancelAndEscapeKeepItsTextsTheCloseBoxDoesNot)
{
    ConsoleRig c(CompleteFile);
    c.w.click(C::cmdSendTestSMS);
    FakeTestSMS &first = *c.w.testSMS.at(0);
    EXPECT_EQ(first.orders, (std::vector<std::string>{"focus txtSMSNumber", "show"}));
    first.type(TestSMSControl::txtSMSNumber, " 0612 999 ");
    first.type(TestSMSControl::txtSMSMessage, "whatever the operator wrote");
    // Refused while an exchange runs: the dialog stays up.
    c.gw.state.ExchangeInProgress = true;
    first.click(TestSMSControl::cmdSend);
    EXPECT_TRUE(first.shown && c.w[C::statusBar].text == ExchangeBusyText);
    c.gw.state.ExchangeInProgress = false;
    bool testModeDuringSend = false;
    c.r.t.world.after(100ms, [&] { testModeDuringSend = c.gw.state.TestMode; });
    first.click(TestSMSControl::cmdSend);
    EXPECT_TRUE(testModeDuringSend && !first.shown && !c.gw.state.TestMode);
    // The centre refuses the blanks; what matters is what reached it.
    EXPECT_EQ(c.r.record.messages("refused"), (Messages{{" 0612 999 ", "Korvane Test Message"}}));

    for (const auto &hide : {std::function<void()>([&] { first.click(TestSMSControl::cmdCancel); }),
                             std::function<void()>([&] { first.escape(); })}) {
        c.w.click(C::cmdSendTestSMS);
        EXPECT_TRUE(first.shown);
        hide();
        EXPECT_FALSE(first.shown);
        EXPECT_EQ(first[TestSMSControl::txtSMSNumber].text, " 0612 999 ");
    }
    EXPECT_EQ(c.w.testSMS.size(), 1u);
    // Closed by its close box during a send, and opened again before the send is over: the
    // new one is fresh and stays up when the first one's send ends.
    c.r.t.world.after(100ms, [&] { first.closeBox(), c.w.click(C::cmdSendTestSMS); });
    first.click(TestSMSControl::cmdSend);
    ASSERT_EQ(c.w.testSMS.size(), 2u);
    const FakeTestSMS &second = *c.w.testSMS[1];
    EXPECT_TRUE(first.destroyed && second.shown && !second.destroyed);
    EXPECT_EQ(second[TestSMSControl::txtSMSNumber].text + "|" +
                  second[TestSMSControl::txtSMSMessage].text,
              "|This is a test message");
}

TEST(OutboxPathDialog, UpdateCancelAndADriveThatIsNotReady)
{
    ConsoleRig c(CompleteFile);
    const std::string program = c.r.t.gw.state.AppPath;
    const std::string root = program.substr(0, program.find(PathSeparator) + 1);
    const std::string moved = program + "moved", notReady = std::string("Z:") + PathSeparator;
    fs::create_directories(moved);
    c.w.folders = {program, root, moved};
    // Opening it saves the settings at once; it is one dialog for the run.
    fs::remove(c.r.t.dir / "smsconf.conf");
    c.w.events->menuChosen(MenuCommand::mnuChangeOutboxPath);
    EXPECT_TRUE(fs::exists(c.r.t.dir / "smsconf.conf"));
    FakeChangePath &p = *c.w.changePath.at(0);
    // Load: AppPath opened, its drive selected.
    EXPECT_TRUE(p.current == program && p.drive == root && p.shown);
    p.browse(moved);
    p.click(ChangePathControl::cmdCancel);
    EXPECT_TRUE(!p.shown && c.gw.state.AppPath == program && c.w[C::statusBar].text == "Status");

    c.console->changeOutboxPath();
    EXPECT_TRUE(c.w.changePath.size() == 1 && p.current == moved); // as it was left
    p.pickDrive(notReady);
    EXPECT_TRUE(p.drive == root && p.current == moved);
    p.pickDrive(root);
    EXPECT_EQ(p.current, root);
    // A drive's root already ends in a separator: no second one.
    p.click(ChangePathControl::cmdUpdate);
    EXPECT_TRUE(c.gw.state.AppPath == root && !p.shown);
    EXPECT_EQ(c.w[C::statusBar].text, "Path Changed to : " + root);

    c.console->changeOutboxPath();
    p.browse(moved);
    p.click(ChangePathControl::cmdUpdate);
    EXPECT_EQ(c.w[C::statusBar].text, "Path Changed to : " + moved + PathSeparator);
    // Escape and the close box hide it like Cancel.
    for (const auto &hide :
         {+[](FakeChangePath &d) { d.escape(); }, +[](FakeChangePath &d) { d.closeBox(); }}) {
        c.console->changeOutboxPath();
        hide(p);
        EXPECT_FALSE(p.shown || p.destroyed);
    }
}

} // namespace
} // namespace qm::test
