// The send cycle and the automatic-sending switch in virtual time, with the
// simulated modem and centre, and operator actions nested in the cycle's
// waits as they happen on the console.

#include "outbox/sendcycle.h"
#include "sendrig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Messages = std::vector<std::pair<std::string, std::string>>;

SendCycleResult TestSend(SendRig &r, std::string number)
{
    r.gw.state.TestMode = true;
    std::string text;
    const SendCycleResult result = SendPendingSMS(r.gw, number, text);
    r.gw.state.TestMode = false;
    return result;
}

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

TEST(SendPendingSMS, EachMessageIsOneCallEndedWithATHWithoutCR)
{
    for (const bool tap : {false, true}) {
        SCOPED_TRACE(tap ? "TAP" : "UCP");
        SendRig r(tap ? Tap() : RigOptions{});
        r.addMessage("a.dat", "\"0611\",\"one\"");
        r.addMessage("b.dat", "\"0622\",\"two\"");
        Button(r).runUntil(30s);
        Messages accepted = r.record.messages("accepted");
        std::ranges::sort(accepted);
        EXPECT_EQ(accepted, (Messages{{"0611", "one"}, {"0622", "two"}}));
        EXPECT_EQ(r.record.count("dial"), 2);
        EXPECT_EQ(r.record.count("login"), tap ? 2 : 0);
        EXPECT_NE(r.port.written.find("ATHATDT"), std::string::npos);
        EXPECT_TRUE(r.port.written.ends_with("ATH"));
    }
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
    EXPECT_FALSE(r.port.isOpen() || r.gw.state.Connected);
    EXPECT_EQ(r.record.messages("accepted"), (Messages{{"0611", "one"}}));
}

// Refused while the centre may still answer; in the pause it is sent and leaves the call up for
// the next pass, which sends the next message on it and hangs up.
TEST(AutomaticSending, TestMessageIsRefusedDuringAnExchangeAndRunsInThePause)
{
    SendRig r;
    r.addMessage("a.dat", "\"0611\",\"one\"");
    Button b(r);
    SendCycleResult inWindow = SendCycleResult::Done, inPause = SendCycleResult::ExchangeBusy;
    std::string writtenAfterTest;
    r.t.world.after(2500ms, [&] { inWindow = TestSend(r, "0699"); });
    r.t.world.after(3500ms, [&] {
        const std::size_t from = r.port.written.size();
        inPause = TestSend(r, "0699");
        writtenAfterTest = r.port.written.substr(from);
        EXPECT_TRUE(r.port.isOpen() && r.gw.state.Connected);
        r.addMessage("b.dat", "\"0622\",\"two\"");
    });
    b.runUntil(15s);
    EXPECT_EQ(inWindow, SendCycleResult::ExchangeBusy);
    EXPECT_EQ(inPause, SendCycleResult::Done);
    EXPECT_EQ(writtenAfterTest.find("ATH"), std::string::npos);
    EXPECT_EQ(r.record.count("dial"), 2);
    EXPECT_EQ(r.record.messages("accepted"),
              (Messages{{"0611", "one"}, {"0699", "Test Message"}, {"0622", "two"}}));
    EXPECT_TRUE(r.port.written.ends_with("ATH"));
}

// Only visible regular ".dat" files are sent, in any case; trouble with one file is logged once
// and does not block the others.
TEST(SendPendingSMS, OnlyRegularDatFilesAreSentAndTroubleWithOneIsLoggedOnce)
{
    SendRig r;
    const fs::path box = r.t.dir / "outbox";
    const std::string longText(5000, 'l'); // more than one read
    r.addMessage("a.dat", "\"06\",\"a\"");  // cannot be deleted after sending
    r.addMessage("b.dat", "\"06\",\"" + std::string(MaxMessageFileBytes, 'b') + "\"");
    r.addMessage("long.msg.dat", "\"06\",\"" + longText + "\"");
    r.addMessage("x.DAT", "\"06\",\"x\"");
    for (const std::string name : {"x.txt", ".hidden.dat", ".dat", "xdat", "x.dat ", "n.dat.bak"})
        r.addMessage(name, "\"06\",\"not a message file\"");
    // A link to a file elsewhere, a folder and a dangling link are never taken.
    r.addMessage("../elsewhere", "\"06\",\"elsewhere\"");
    fs::create_symlink(r.t.dir / "elsewhere", box / "c.dat");
    fs::create_directory(box / "d.dat");
    fs::create_symlink(box / "gone", box / "e.dat");
    r.gw.deleteMessageFile = [](const std::string &p) {
        return p.ends_with("/a.dat") ? Failure{13, "Permission denied"} : DeleteOutboxFile(p);
    };
    Button(r).runUntil(100s);
    Messages accepted = r.record.messages("accepted");
    std::ranges::sort(accepted);
    EXPECT_EQ(accepted, (Messages{{"06", "a"}, {"06", longText}, {"06", "x"}}));
    const auto events = r.events();
    const auto once = [&](const std::string &start) {
        EXPECT_EQ(std::ranges::count_if(events, [&](auto &e) { return e.starts_with(start); }), 1)
            << start;
    };
    once("Message file could not be deleted: a.dat. It is passed over until the gateway is "
         "restarted.\rError:13-Permission denied");
    once("Message file could not be read: b.dat\rError:27-File too large");
    for (const char *name : {"c.dat", "d.dat", "e.dat"})
        once("Outbox entry is not a regular file and is not sent: " + std::string(name) +
             ". It is passed over until the gateway is restarted.");
    EXPECT_EQ(r.outbox(),
              (std::vector<std::string>{".dat", ".hidden.dat", "a.dat", "b.dat", "c.dat", "d.dat",
                                        "e.dat", "n.dat.bak", "x.dat ", "x.txt", "xdat"}));
    // Put in place between the pick and the read: a link is not followed, a pipe does not block.
    ASSERT_EQ(::mkfifo((box / "p.dat").c_str(), 0600), 0);
    for (const char *name : {"c.dat", "p.dat"})
        EXPECT_TRUE(ReadOutboxFile((box / name).string()).failure.has_value()) << name;
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
    EXPECT_EQ(b.caption, StopSendingCaption);
    EXPECT_FALSE(r.port.isOpen());
    EXPECT_FALSE(r.gw.state.SendCycleRunning);
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
