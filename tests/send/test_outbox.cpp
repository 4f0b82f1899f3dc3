// The outbox: the send cycle and the automatic-sending switch in virtual time, with the simulated
// modem and centre, operator actions nested in the cycle's waits as they happen on the console, and
// what can go wrong, one row each.

#include "commands/testmessage.h"
#include "pure/ia5.h"
#include "pure/recipientfilter.h"
#include "send/outboxfile.h"
#include "send/sendcycle.h"
#include "sendrig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <system_error>
#include <utility>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Messages = std::vector<std::pair<std::string, std::string>>;

// The send cycle.

TEST(WaitSeconds, EndsAtTheSecondBoundaryAfterNAndServesEvents)
{
    // offset: into the second when the wait starts, in ms; lasts: ms.
    // clang-format off
    const struct { const char *name; int offset; short seconds; int lasts; } rows[] = {
        {"one second from a boundary", 0, 1, 2000},
        {"one second from just before a boundary", 999, 1, 1001},
        {"two seconds from mid-second", 500, 2, 2500},
        {"zero seconds", 0, 0, 1000}};
    // clang-format on
    for (const auto &[name, offset, seconds, lasts] : rows) {
        SCOPED_TRACE(name);
        TestGateway t;
        t.world.after(std::chrono::milliseconds(offset), [] {});
        t.world.pump();
        bool served = false;
        t.world.after(300ms, [&served] { served = true; });
        const auto from = t.world.elapsed();
        WaitSeconds(t.gw, seconds);
        EXPECT_EQ((t.world.elapsed() - from).count(), lasts);
        EXPECT_TRUE(served);
        EXPECT_LE(t.world.pumps, 3); // blocks until something is due: no spinning
    }
}

TEST(SendPendingSMS, EachMessageIsOneCallEndedWithATHWithoutCR)
{
    // clang-format off
    const struct { const char *name; RigOptions options; int logins; } rows[] = {
        {"UCP", RigOptions{}, 0}, {"TAP", Tap(), 2}};
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        SendRig r(row.options);
        r.addMessage("a.dat", "\"0611\",\"one\"\r\n");
        r.addMessage("b.dat", "\"0622\",\"two\"\r\n");
        Button(r).runUntil(30s);
        Messages accepted = r.record.messages("accepted");
        std::ranges::sort(accepted);
        EXPECT_EQ(accepted, (Messages{{"0611", "one"}, {"0622", "two"}}));
        EXPECT_EQ(r.record.count("dial"), 2);
        EXPECT_EQ(r.record.count("login"), row.logins);
        EXPECT_NE(r.port.written.find("ATHATDT"), std::string::npos);
        EXPECT_TRUE(r.port.written.ends_with("ATH"));
    }
}

TEST(AutomaticSending, StopDuringTheResponseWindowEndsAfterThePauseWithoutATH)
{
    SendRig r;
    r.addMessage("a.dat", "\"0611\",\"one\"\r\n");
    Button b(r);
    b.runUntil(4500ms); // taken at the second listing (2 s), the frame went out at 4 s
    EXPECT_EQ(b.caption, StartSendingCaption);
    EXPECT_EQ(r.t.world.elapsed(), 7s); // window to 5 s, pause to 7 s
    EXPECT_EQ(r.port.written.find("ATH"), std::string::npos);
    EXPECT_FALSE(r.port.isOpen() || r.gw.state.Connected);
    EXPECT_EQ(r.record.messages("accepted"), (Messages{{"0611", "one"}}));
}

// A time sync or an operator setting the clock steps the wall clock; the pace of sending is
// measured on the steady clock and does not move with it. Stopped when the message is just in.
TEST(AutomaticSending, AWallClockStepHoldsNothing)
{
    // clang-format off
    const struct { const char *name; std::chrono::milliseconds at, step; const char *content;
        std::chrono::milliseconds stop; } rows[] = {
        {"back 90 s in the pause between listings", 1500ms, -90s, "\"0611\",\"one\"\r\n", 6s},
        {"forward 1 h in the pause between listings", 1500ms, 1h, "\"0611\",\"one\"\r\n", 6s},
        // Without its line end a file is taken once it was unchanged for 10 s.
        {"back 1 h while a file settles", 5s, -1h, "\"0611\",\"one\"", 16s},
        {"back 90 s during the dial", 3s, -90s, "\"0611\",\"one\"\r\n", 6s},
        {"back 90 s while the centre answers", 4100ms, -90s, "\"0611\",\"one\"\r\n", 6s}};
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        SendRig r;
        r.addMessage("a.dat", row.content);
        r.t.world.after(row.at, [&r, step = row.step] { r.t.world.stepWallClock(step); });
        Button(r).runUntil(row.stop);
        EXPECT_EQ(r.record.messages("accepted"), (Messages{{"0611", "one"}}));
        EXPECT_TRUE(r.outbox().empty());
    }
}

// Refused while the centre may still answer; in the pause it is sent and leaves the call up for
// the next pass, which sends the next message on it and hangs up.
TEST(AutomaticSending, TestMessageIsRefusedDuringAnExchangeAndRunsInThePause)
{
    SendRig r;
    r.addMessage("a.dat", "\"0611\",\"one\"\r\n");
    Button b(r);
    SendCycleResult inWindow = SendCycleResult::Done, inPause = SendCycleResult::ExchangeBusy;
    std::string writtenAfterTest;
    r.t.world.after(4500ms, [&] { inWindow = SendTestMessage(r.gw, "0699"); });
    r.t.world.after(5500ms, [&] {
        const std::size_t from = r.port.written.size();
        inPause = SendTestMessage(r.gw, "0699");
        writtenAfterTest = r.port.written.substr(from);
        EXPECT_TRUE(r.port.isOpen() && r.gw.state.Connected);
        r.addMessage("b.dat", "\"0622\",\"two\"\r\n");
    });
    b.runUntil(15s);
    EXPECT_EQ(inWindow, SendCycleResult::ExchangeBusy);
    EXPECT_EQ(inPause, SendCycleResult::Done);
    EXPECT_EQ(writtenAfterTest.find("ATH"), std::string::npos);
    EXPECT_EQ(r.record.count("dial"), 2);
    EXPECT_EQ(r.record.messages("accepted"),
              (Messages{{"0611", "one"}, {"0699", "Korvane Test Message"}, {"0622", "two"}}));
    EXPECT_TRUE(r.port.written.ends_with("ATH"));
}

// A second Send and a Start pressed while a test message dials are refused without taking its
// test mode away; the status line tells the operator what happens next.
TEST(AutomaticSending, SecondSendAndStartDuringATestMessageLeaveItAlone)
{
    SendRig r;
    Button b(r);
    std::vector<std::pair<SendCycleResult, std::string>> refused; // result, status text
    r.t.world.after(500ms, [&] {
        for (const auto &attempt : std::vector<std::function<SendCycleResult()>>{
                 [&] { return SendTestMessage(r.gw, "0698"); }, [&] { return b.press(); }}) {
            const SendCycleResult result = attempt();
            refused.emplace_back(result, r.t.status.text());
        }
    });
    EXPECT_EQ(SendTestMessage(r.gw, "0699"), SendCycleResult::Done);
    using enum SendCycleResult;
    EXPECT_EQ(refused, (std::vector<std::pair<SendCycleResult, std::string>>{
                           {ExchangeBusy, ExchangeBusyText}, {ExchangeBusy, StartsAfterTestText}}));
    EXPECT_EQ(r.record.messages("accepted"), (Messages{{"0699", "Korvane Test Message"}}));
    EXPECT_EQ(r.logged("Message file could not be read"), 0);
    EXPECT_FALSE(r.gw.state.TestMode);
}

// Stop right after the centre's login ACK ends that login with the call; Start again must log in
// anew instead of sending the block on a call nobody logged into.
TEST(AutomaticSending, StopAndStartJustAfterTheTapLoginLoseNothing)
{
    SendRig r(Tap());
    r.addMessage("a.dat", "\"0611\",\"one\"\r\n");
    Button b(r);
    r.t.world.after(5300ms, [&] { b.press(); }); // the ACK came at 5.2 s, in the login's wait
    r.t.world.after(5400ms, [&] { EXPECT_EQ(b.press(), SendCycleResult::LoopRunning); });
    b.runUntil(30s);
    EXPECT_EQ(r.record.messages("accepted"), (Messages{{"0611", "one"}}));
    EXPECT_EQ(r.record.count("login"), 2);
    EXPECT_EQ(r.logged("Err-0017"), 0);
}

// Only visible regular ".dat" files are sent, in any case; trouble with one file is logged once
// and does not block the others. Links and pipes are POSIX: tests/windows has the Windows rules.
#ifndef _WIN32
TEST(SendPendingSMS, OnlyRegularDatFilesAreSentAndTroubleWithOneIsLoggedOnce)
{
    SendRig r;
    const fs::path box = r.t.dir / "outbox";
    const std::string longText(5000, 'l'); // more than one read
    r.addMessage("a.dat", "\"06\",\"a\""); // cannot be deleted after sending
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
    once("Message file could not be read: b.dat. It is passed over until the gateway is "
         "restarted.\rError:27-File too large");
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
#endif

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

// What the modem, the line, the centre and the files can do wrong, one row
// each, through automatic sending in virtual time. Whatever happens, the
// message is delivered, still in the outbox, or its text is in Master.Log;
// the call is ended and the port closed; the loop carries on.

// Delivered: accepted by the centre, file gone; Kept: still in the outbox, not
// accepted; Logged: file gone, not accepted, text in Master.Log; Vanished:
// someone else removed the file and the logs say so.
enum class Outcome { Delivered, Kept, Logged, Vanished };

// act: after the rig is built, before Start; logged: a Master.Log entry starts with this ("" for
// none); dials: at least this many (a kept message is tried on every pass), 0: none at all;
// check: instead of "at most one accepted, few boxes".
// clang-format off
struct Row { const char *fault; std::function<void(RigOptions &)> options;
    std::function<void(SendRig &)> act; Outcome outcome; const char *logged; int dials = 1;
    std::function<void(SendRig &)> check = {}; };
// clang-format on

// The rows' message, unless a row writes its own.
const std::string Text = "disk full", Content = "\"0611\",\"disk full\"\r\n";

using Opts = RigOptions;
using enum Outcome;
using enum sim::DialResult;
using Ucp = sim::UcpCentreOptions::Mode;
using TapOptions = sim::TapCentreOptions;
const auto Dial = [](sim::DialResult d) { return [d](Opts &o) { o.modem.result = d; }; };
const auto File = [](std::string s) { return [s](SendRig &r) { r.addMessage("a.dat", s); }; };
const auto Read = [](auto read) { return [read](SendRig &r) { r.gw.readMessageFile = read; }; };
const auto At = [](std::chrono::milliseconds when, void (*what)(SendRig &)) {
    return [when, what](SendRig &r) { r.t.world.after(when, [&r, what] { what(r); }); };
};
const auto Vanish = [](SendRig &r) { r.port.vanish(); };
// Neither log can take an entry (a full disk, a read-only folder): a message the centre did not
// take stays, said once; one it took goes.
const auto NoLogs = [](SendRig &r) {
    for (const char *log : {"Master.Log", "Events.Log"})
        fs::create_directory(r.t.dir / log);
};
const auto KeptNotes = [](const SendRig &r) {
    return std::ranges::count_if(r.t.notifier.notices, [](const Notice &n) {
        return n.text == "Message kept in the outbox: a.dat. Its text could not be written to "
                         "Master.Log or Events.Log.";
    });
};
const auto KeptOnce = [](SendRig &r) { EXPECT_EQ(KeptNotes(r), 1); };
constexpr const char *NoDial = "Could not dial SMS Center",
                     *Sent = "Message Sent: ", *Unread = "Message file could not be read: a.dat",
                     *Answer = "Response to message recieved:";

// clang-format off
const Row Rows[] = {
    {"dial without answer", Dial(Silent), {}, Kept, NoDial, 2},
    {"BUSY", Dial(Busy), {}, Kept, NoDial, 2},
    {"NO CARRIER", Dial(NoCarrier), {}, Kept, NoDial, 2},
    {"ERROR", Dial(Error), {}, Kept, NoDial, 2},
    {"NO DIALTONE", Dial(NoDialtone), {}, Kept, NoDial, 2},
    {"CONNECT without carrier", [](Opts &o) { o.modem.carrierDelay.reset(); }, {}, Kept, NoDial, 2},
    {"carrier lost during the carrier wait", // the echo ends the answer wait
     [](Opts &o) { o.modem.echo = true; o.modem.connectDelay = 5s; },
     At(5s, [](SendRig &r) { r.port.dropCarrier(); }), Delivered, ""},
    {"no ID= prompt", [](Opts &o) { o.protocol = "TAP"; o.tap.ignoredPrompts = 1000; }, {},
     Kept, "Err-0016", 2},
    {"login NAK", [](Opts &o) { o.protocol = "TAP"; o.tap.login = TapOptions::Login::Refuse; }, {},
     Kept, "Err-0016", 2},
    {"no go-ahead", [](Opts &o) { o.protocol = "TAP"; o.tap.goAhead = false; }, {}, Kept, "", 2},
    {"carrier lost before the write (TAP login)", // after the login ACK, before its wait ends
     [](Opts &o) { o.protocol = "TAP"; o.modem.dropAfter = 1500ms; }, {}, Logged, "Err-0017"},
    // Stale text of the first call must not count on the next: each pass logs in anew and fails.
    {"carrier lost before the TAP login completes",
     [](Opts &o) { o.protocol = "TAP"; o.modem.dropAfter = 500ms; }, {}, Kept, "Err-0016", 2},
    {"BUSY during the blocking carrier wait",
     [](Opts &o) { o.modem.echo = true; o.modem.result = Busy; },
     {}, Kept, "Recieved:\r\nBUSY", 2, [](SendRig &r) {
         // Said before the failed dial is reported, with its box.
         const auto master = r.master();
         const auto busy = std::ranges::find(master, "Recieved:\r\nBUSY\r\n");
         EXPECT_LT(busy,
                   std::ranges::find_if(master, [](auto &e) { return e.starts_with(NoDial); }));
         ASSERT_FALSE(r.t.notifier.notices.empty());
         EXPECT_EQ(r.t.notifier.notices[0].text, "The number is busy.  Please try again later.");
     }},
    {"no answer, carrier detect forced on", Dial(Silent),
     [](SendRig &r) { r.port.carrierForcedOn = true; }, Kept, NoDial, 2},
    {"carrier lost during the response window",
     [](Opts &o) { o.ucp.replyDelay = 800ms; o.modem.dropAfter = 200ms; }, {}, Delivered, Sent},
    {"port vanishes before the dial", {}, Vanish, Kept, "Err-0003:Dialing Error", 0},
    {"port vanishes after CONNECT (TAP login)", [](Opts &o) { o.protocol = "TAP"; },
     At(4300ms, Vanish), Kept, "Err-0016"},
    {"port vanishes during the response window", [](Opts &o) { o.ucp.replyDelay = 800ms; },
     At(4200ms, Vanish), Delivered, Sent},
    {"write refused", {},
     At(3999ms, [](SendRig &r) { r.port.failOnce("write", Failure{5, "Input/output error"}); }),
     Delivered, "Error Occured in UCP SMS sending", 2},
    {"UCP negative answer", [](Opts &o) { o.ucp.mode = Ucp::Reject; }, {}, Logged, Answer},
    {"garbage from the centre", [](Opts &o) { o.ucp.mode = Ucp::Garbage; }, {}, Logged, Answer},
    {"half an answer frame", [](Opts &o) { o.ucp.mode = Ucp::Half; }, {}, Logged, Answer},
    {"silent centre", [](Opts &o) { o.ucp.mode = Ucp::Silent; }, {}, Logged, Sent},
    {"TAP centre NAKs every block",
     [](Opts &o) { o.protocol = "TAP"; o.tap.blocks = TapOptions::Blocks::Nak; }, {}, Logged, Sent},
    {"binary message file", {}, File({"\"0611\",\"\0\xff\x01\x7f\"", 13}), Delivered, ""},
    {"byte-order mark", {}, File("\xEF\xBB\xBF" + Content), Delivered, Sent},
    {"written in two pieces 4 s apart", {},
     [](SendRig &r) {
         r.addMessage("a.dat", "\"0611\",\"slow producer 1, first piece");
         r.t.world.after(4s, [&r] {
             std::ofstream(r.t.dir / "outbox/a.dat", std::ios::app) << ", second piece\"\r\n";
         });
     },
     Delivered, Sent, 1, [](SendRig &r) {
         EXPECT_EQ(r.record.messages("accepted"),
                   (Messages{{"0611", "slow producer 1, first piece, second piece"}}));
     }},
    {"frame of 1000 characters", {}, File("\"0611\",\"" + std::string(490, 'l') + "\"\r\n"),
     Delivered, Sent},
    {"frame too long for LEN", {}, File("\"0611\",\"" + std::string(50000, 'l') + "\"\r\n"),
     Kept, "Message too long for one UCP frame. It is passed over", 0},
    {"unsupported operation type", [](Opts &o) { o.operationType = "02"; }, {}, Kept, "Err-0008", 0,
     [](SendRig &r) { EXPECT_FALSE(r.t.notifier.notices.empty()); }},
    {"10 MB message file", {}, File(std::string(10 << 20, 'x')), Kept, Unread, 0},
    {"one field only", {}, File("\"0611\""), Delivered, ""},
    {"file vanishes between pick and read", {},
     Read([](auto &p) { fs::remove(p); return ReadOutboxFile(p); }), Vanished, Unread, 0},
    {"file cannot be read", {},
     Read([](auto &) { return OutboxFileRead{{}, Failure{5, "Input/output error"}, {}}; }),
     Kept, Unread, 0},
    {"file replaced while it is being sent", {},
     [](SendRig &r) { r.gw.readMessageFile = [&r, first = true](const std::string &p) mutable {
         OutboxFileRead read = ReadOutboxFile(p);
         if (std::exchange(first, false)) {
             r.addMessage("b.tmp", "\"0622\",\"newer\"");
             fs::rename(r.t.dir / "outbox/b.tmp", p);
         }
         return read;
     }; },
     Delivered, "Message file changed while it was being sent: a.dat", 2, [](SendRig &r) {
         EXPECT_EQ(r.record.messages("accepted"), (Messages{{"0611", Text}, {"0622", "newer"}}));
     }},
    {"missing outbox folder", {},
     [](SendRig &r) {
         fs::remove_all(r.t.dir / "outbox");
         r.t.world.after(10s, [&r] { r.addMessage("a.dat", Content); });
     },
     Delivered, Sent},
    {"no log can be written, UCP refusal (N/02)",
     [](Opts &o) { o.ucp.mode = Ucp::Reject; o.ucp.rejectCode = "02"; }, NoLogs, Kept, "", 2,
     KeptOnce},
    {"no log can be written, TAP refusal (RS)",
     [](Opts &o) { o.protocol = "TAP"; o.tap.blocks = TapOptions::Blocks::Refuse; }, NoLogs, Kept,
     "", 2, KeptOnce},
    {"no log can be written, silent centre", [](Opts &o) { o.ucp.mode = Ucp::Silent; }, NoLogs,
     Kept, "", 2, KeptOnce},
    {"no log can be written, call lost before the TAP block (Err-0017)",
     [](Opts &o) { o.protocol = "TAP"; o.modem.dropAfter = 1500ms; }, NoLogs, Kept, "", 2,
     KeptOnce},
    {"no log can be written, centre accepts", {}, NoLogs, Delivered, "", 1,
     [](SendRig &r) { EXPECT_EQ(KeptNotes(r), 0); }},
    {"Master.Log cannot be written", {},
     [](SendRig &r) { fs::create_directory(r.t.dir / "Master.Log"); }, Delivered, "", 1,
     [](SendRig &r) {
         // One box per entry the log could not take; Events.Log misses nothing.
         SendRig twin;
         twin.addMessage("a.dat", Content);
         Button(twin).runUntil(300s);
         EXPECT_EQ(r.t.notifier.notices.size(), twin.master().size());
         EXPECT_EQ(r.events(), twin.events());
     }},
};
// clang-format on

TEST(FaultMatrix, EveryMessageIsAccountedForAndTheLoopCarriesOn)
{
    for (const Row &row : Rows) {
        SCOPED_TRACE(row.fault);
        RigOptions o;
        if (row.options)
            row.options(o);
        SendRig r(o);
        r.addMessage("a.dat", Content);
        if (row.act)
            row.act(r);
        const std::string content = r.t.readFile("outbox/a.dat");
        Button(r).runUntil(300s);

        const auto accepted = r.record.messages("accepted");
        const std::string log = r.t.readFile("Master.Log");
        const int dials = r.record.count("dial");
        EXPECT_EQ(r.t.readFile("outbox/a.dat"), row.outcome == Outcome::Kept ? content : "");
        EXPECT_EQ(accepted.empty(), row.outcome != Outcome::Delivered);
        // UCP logs the frame, which holds the text in IA5 hex.
        EXPECT_TRUE(row.outcome != Outcome::Logged || log.find(Text) != std::string::npos ||
                    log.find(IA5Encoding(Text)) != std::string::npos);
        EXPECT_TRUE(!*row.logged || r.logged(row.logged) >= 1) << row.logged;
        EXPECT_TRUE(row.dials == 0 ? dials == 0 : dials >= row.dials) << dials;
        EXPECT_FALSE(r.port.isOpen() || r.gw.state.Connected || r.gw.state.AutoSending);
        if (row.check)
            row.check(r);
        else // a call that went through is not made again; at most one box per call
            EXPECT_TRUE(accepted.size() <= 1 && int(r.t.notifier.notices.size()) <= dials);
    }
}

} // namespace
} // namespace qm::test
