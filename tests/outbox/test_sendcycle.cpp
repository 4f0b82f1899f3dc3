// The send cycle and the automatic-sending switch in virtual time, with the
// simulated modem and centre, and operator actions nested in the cycle's
// waits as they happen on the console.

#include "outbox/sendcycle.h"
#include "sendrig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <system_error>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;
using Messages = std::vector<std::pair<std::string, std::string>>;

TEST(WaitSeconds, EndsAtTheSecondBoundaryAfterNAndServesEvents)
{
    for (const auto &[offset, n, lasts] : std::vector<std::tuple<int, short, int>>{
             {0, 1, 2000}, {999, 1, 1001}, {500, 2, 2500}, {0, 0, 1000}}) {
        SCOPED_TRACE(offset);
        TestGateway t;
        t.world.after(std::chrono::milliseconds(offset), [] {});
        t.world.pump();
        bool served = false;
        t.world.after(300ms, [&served] { served = true; });
        const auto from = t.world.elapsed();
        short count = n;
        WaitSeconds(t.gw, count);
        EXPECT_EQ((t.world.elapsed() - from).count(), lasts);
        EXPECT_TRUE(served);
        EXPECT_LE(t.world.pumps, 3); // blocks until something is due: no spinning
    }
}

TEST(SendPendingSMS, EmptyOutboxIsListedEachPassWithoutDialling)
{
    SendRig r;
    Button b(r);
    int opensBefore = -1;
    int pumpsBefore = -1;
    r.t.world.after(5500ms, [&] {
        opensBefore = int(std::count(r.port.calls.begin(), r.port.calls.end(), "open"));
        pumpsBefore = r.t.world.pumps;
        r.addMessage("late.dat", "\"0611\",\"hello\"");
    });
    b.runUntil(20s);
    EXPECT_EQ(opensBefore, 0);
    EXPECT_LE(pumpsBefore, 7); // one wake-up per second boundary
    EXPECT_EQ(r.record.messages("accepted"), (Messages{{"0611", "hello"}}));
    // Found by the next pass (at 6 s or 7 s): dial 2 s, frame written at once.
    const std::string log = r.t.readFile("Master.Log");
    const auto at = log.find(": Message encoded");
    ASSERT_NE(at, std::string::npos);
    const std::string stamp = log.substr(at - 8, 8);
    EXPECT_TRUE(stamp == "12:00:08" || stamp == "12:00:09") << stamp;
}

TEST(SendPendingSMS, EachMessageIsOneCallEndedWithATHWithoutCR)
{
    for (const std::string protocol : {"UCP", "TAP"}) {
        SCOPED_TRACE(protocol);
        SendRig r(protocol == "UCP" ? RigOptions{} : Tap());
        r.addMessage("a.dat", "\"0611\",\"one\"");
        r.addMessage("b.dat", "\"0622\",\"two\"");
        Button b(r);
        b.runUntil(30s);
        Messages accepted = r.record.messages("accepted");
        std::sort(accepted.begin(), accepted.end());
        EXPECT_EQ(accepted, (Messages{{"0611", "one"}, {"0622", "two"}}));
        EXPECT_EQ(r.record.count("dial"), 2);
        EXPECT_EQ(r.record.count("hangup"), 2);
        EXPECT_EQ(r.record.count("login"), protocol == "TAP" ? 2 : 0);
        EXPECT_NE(r.port.written.find("ATHATDT"), std::string::npos);
        EXPECT_EQ(r.port.written.substr(r.port.written.size() - 3), "ATH");
        EXPECT_TRUE(r.outbox().empty());
        EXPECT_FALSE(r.port.isOpen());
        EXPECT_FALSE(r.gw.state.TapLoggedIn);
    }
}

TEST(SendPendingSMS, OnlyExactlyUCPSelectsUCP)
{
    for (const std::string protocol : {"TAP", "", "ucp"}) {
        SCOPED_TRACE(protocol);
        SendRig r(Tap());
        r.t.fields.Protocol = protocol;
        r.addMessage("a.dat", "\"0611\",\"one\"");
        Button(r).runUntil(10s);
        EXPECT_EQ(r.record.count("login"), 1);
        EXPECT_EQ(r.record.messages("accepted"), (Messages{{"0611", "one"}}));
    }
}

TEST(SendPendingSMS, TestMessageLeavesTheCallUpForTheNextPassToEnd)
{
    SendRig r;
    EXPECT_EQ(TestSend(r, "0699"), SendCycleResult::Done);
    EXPECT_TRUE(r.gw.state.Connected);
    EXPECT_TRUE(r.port.isOpen());
    EXPECT_EQ(r.port.written.find("ATH"), std::string::npos);

    r.addMessage("a.dat", "\"0611\",\"one\"");
    Button(r).runUntil(10s);
    EXPECT_EQ(r.record.count("dial"), 1);
    EXPECT_EQ(r.record.messages("accepted"), (Messages{{"0699", "Test Message"}, {"0611", "one"}}));
    EXPECT_EQ(r.port.written.substr(r.port.written.size() - 3), "ATH");
}

TEST(SendPendingSMS, FailingDialKeepsTheFileAndRetriesEveryPassWithThePortClosed)
{
    RigOptions o;
    o.modem.result = sim::DialResult::Busy;
    SendRig r(o);
    r.addMessage("a.dat", "\"0611\",\"one\"");
    Button b(r);
    // First pass: BUSY at 2 s, carrier wait to 32 s, pause to 34 s. Later
    // dials find the old BUSY still in ReceiveBuffer and go straight to the
    // carrier wait: passes at 34 s, 66 s and 98 s.
    bool openInPause = true;
    r.t.world.after(33s, [&] { openInPause = r.port.isOpen(); });
    b.runUntil(100s);
    EXPECT_FALSE(openInPause);
    EXPECT_EQ(r.record.count("dial"), 4);
    EXPECT_EQ(r.logged("Could not dial SMS Center"), 4);
    EXPECT_EQ(r.outbox(), std::vector<std::string>{"a.dat"});
}

TEST(AutomaticSending, StopDuringTheResponseWindowEndsAfterThePauseWithoutATH)
{
    SendRig r;
    r.addMessage("a.dat", "\"0611\",\"one\"");
    Button b(r);
    b.runUntil(2500ms); // the frame went out at 2 s
    EXPECT_EQ(b.caption, StartSendingCaption);
    EXPECT_EQ(r.t.world.elapsed(), 5s); // window to 3 s, pause to 5 s
    EXPECT_EQ(r.port.written.find("ATH"), std::string::npos);
    EXPECT_FALSE(r.port.isOpen());
    EXPECT_FALSE(r.gw.state.AutoSending);
    EXPECT_FALSE(r.gw.state.Connected);
    EXPECT_FALSE(r.gw.state.TapLoggedIn);
    EXPECT_EQ(r.record.messages("accepted"), (Messages{{"0611", "one"}}));
    EXPECT_TRUE(r.outbox().empty());
}

TEST(AutomaticSending, StopDuringTheCarrierWaitIsServedAfterIt)
{
    RigOptions o;
    o.modem.echo = true; // the echo ends the answer wait, the carrier comes at 5 s
    o.modem.connectDelay = 5s;
    SendRig r(o);
    r.addMessage("a.dat", "\"0611\",\"one\"");
    Button b(r);
    std::chrono::milliseconds stoppedAt{};
    b.pressAt(1s, [&](SendCycleResult) { stoppedAt = r.t.world.elapsed(); });
    EXPECT_EQ(b.press(), SendCycleResult::Done);
    EXPECT_EQ(stoppedAt, 5s);
    EXPECT_EQ(r.record.messages("accepted"), (Messages{{"0611", "one"}}));
}

TEST(AutomaticSending, StartWhileTheStoppedLoopUnwindsLetsItCarryOn)
{
    SendRig r;
    r.addMessage("a.dat", "\"0611\",\"one\"");
    Button b(r);
    SendCycleResult second = SendCycleResult::Done;
    b.pressAt(2500ms);                                         // stop, in the window
    b.pressAt(2600ms, [&](SendCycleResult s) { second = s; }); // start again at once
    r.t.world.after(2700ms, [&] { r.addMessage("b.dat", "\"0622\",\"two\""); });
    b.runUntil(20s);
    EXPECT_EQ(second, SendCycleResult::LoopRunning);
    EXPECT_EQ(r.record.messages("accepted"), (Messages{{"0611", "one"}, {"0622", "two"}}));
    EXPECT_EQ(r.record.count("dial"), 2);
}

TEST(AutomaticSending, TestMessageIsRefusedDuringAnExchangeAndRunsInThePause)
{
    SendRig r;
    r.addMessage("a.dat", "\"0611\",\"one\"");
    Button b(r);
    SendCycleResult inWindow = SendCycleResult::Done, inPause = SendCycleResult::ExchangeBusy;
    std::string statusWhenRefused;
    r.t.world.after(2500ms, [&] {
        inWindow = TestSend(r, "0699");
        statusWhenRefused = r.t.status.text();
    });
    r.t.world.after(3500ms, [&] { inPause = TestSend(r, "0699"); });
    b.runUntil(15s);
    EXPECT_EQ(inWindow, SendCycleResult::ExchangeBusy);
    EXPECT_EQ(statusWhenRefused, ExchangeBusyText);
    EXPECT_EQ(inPause, SendCycleResult::Done);
    EXPECT_EQ(r.record.messages("accepted"), (Messages{{"0611", "one"}, {"0699", "Test Message"}}));
}

TEST(AutomaticSending, StartDuringATestMessageIsRefusedUntilItEnds)
{
    SendRig r;
    r.addMessage("a.dat", "\"0611\",\"one\"");
    Button b(r);
    SendCycleResult started = SendCycleResult::Done;
    r.t.world.after(2500ms, [&] { started = b.press(); }); // in the test message's window
    EXPECT_EQ(TestSend(r, "0699"), SendCycleResult::Done);
    EXPECT_EQ(started, SendCycleResult::ExchangeBusy);
    EXPECT_EQ(b.caption, StopSendingCaption);
    EXPECT_TRUE(r.gw.state.AutoSending);
    EXPECT_EQ(r.outbox(), std::vector<std::string>{"a.dat"}); // no loop ran
}

TEST(SendPendingSMS, TroubleWithAFileIsLoggedOnceAndDoesNotBlockTheOthers)
{
    struct Row {
        const char *name;
        std::function<void(SendRig &)> fault; // on a.dat
        const char *logged;
        Messages accepted;
    };
    const std::vector<Row> rows = {
        {"cannot be deleted after sending",
         [](SendRig &r) {
             r.gw.deleteMessageFile = [](const std::string &path) -> MaybeFailure {
                 if (path.ends_with("a.dat"))
                     return Failure{13, "Permission denied"};
                 return DeleteOutboxFile(path);
             };
         },
         "Message file could not be deleted: a.dat. It is passed over until the gateway is "
         "restarted.\rError:13-Permission denied",
         {{"0611", "one"}, {"0622", "two"}}},
        {"cannot be read",
         [](SendRig &r) {
             r.gw.readMessageFile = [](const std::string &path) {
                 if (path.ends_with("a.dat"))
                     return OutboxFileRead{{}, Failure{5, "Input/output error"}, {}};
                 return ReadOutboxFile(path);
             };
         },
         "Message file could not be read: a.dat\rError:5-Input/output error",
         {{"0622", "two"}}},
        {"is a link to a file elsewhere",
         [](SendRig &r) {
             const auto a = r.t.dir / "outbox" / "a.dat";
             std::filesystem::rename(a, r.t.dir / "elsewhere");
             std::filesystem::create_symlink(r.t.dir / "elsewhere", a);
         },
         "Outbox entry is not a regular file and is not sent: a.dat. It is passed over until "
         "the gateway is restarted.",
         {{"0622", "two"}}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        SendRig r;
        r.addMessage("a.dat", "\"0611\",\"one\"");
        r.addMessage("b.dat", "\"0622\",\"two\"");
        row.fault(r);
        Button(r).runUntil(40s);
        Messages accepted = r.record.messages("accepted");
        std::sort(accepted.begin(), accepted.end());
        EXPECT_EQ(accepted, row.accepted);
        const auto events = r.events();
        EXPECT_EQ(std::count(events.begin(), events.end(), row.logged), 1);
        EXPECT_EQ(r.outbox(), std::vector<std::string>{"a.dat"});
    }
}

TEST(SendPendingSMS, UnexpectedFailureEndsTheLoopWithErr0001AndHangsUp)
{
    SendRig r;
    r.addMessage("a.dat", "\"0611\",\"one\"");
    r.gw.recipientFilter = []() -> std::unique_ptr<RecipientFilter> {
        throw std::system_error(std::make_error_code(std::errc::io_error), "filter");
    };
    Button b(r);
    EXPECT_EQ(b.press(), SendCycleResult::Done); // returns without a Stop
    EXPECT_EQ(r.events(),
              std::vector<std::string>{
                  "Err-0001:Error occured in sending SMS. Please Check SMS Settings and "
                  "retry again\rError:5-filter: Input/output error"});
    EXPECT_TRUE(r.gw.state.AutoSending);
    EXPECT_EQ(b.caption, StopSendingCaption);
    EXPECT_FALSE(r.port.isOpen());
    EXPECT_FALSE(r.gw.state.SendCycleRunning);
    EXPECT_FALSE(r.gw.state.ExchangeInProgress);
}

TEST(SendPendingSMS, EmptyCenterNumberIsReportedAndNothingRuns)
{
    SendRig r;
    r.t.fields.SMSCenterNumber.clear();
    r.addMessage("a.dat", "\"0611\",\"one\"");
    Button b(r);
    EXPECT_EQ(b.press(), SendCycleResult::Done);
    EXPECT_EQ(r.master(), std::vector<std::string>{"SMS Center Number not optional"});
    EXPECT_EQ(r.t.status.text(), "SMS Center Number not optional");
    EXPECT_TRUE(r.gw.state.AutoSending);
    EXPECT_EQ(r.t.world.pumps, 0);
}

} // namespace
} // namespace qm::test
