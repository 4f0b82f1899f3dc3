// What the modem, the line, the centre and the files can do wrong, one row
// each, through automatic sending in virtual time. Whatever happens, the
// message is delivered, still in the outbox, or its text is in Master.Log;
// the call is ended and the port closed; the loop carries on.

#include "sendrig.h"
#include "ucp/ia5.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <utility>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// delivered: accepted by the centre, file gone; kept: still in the outbox, not
// accepted; logged: file gone, not accepted, text in Master.Log; vanished:
// someone else removed the file and the logs say so.
struct Row {
    const char *fault;
    std::function<void(RigOptions &)> options;
    std::function<void(SendRig &)> act; // after the rig is built, before Start
    std::string outcome;
    const char *logged;                        // a Master.Log entry starts with this ("" for none)
    int minDials = 1;                          // a kept message is tried again on the next passes
    std::function<void(SendRig &)> check = {}; // instead of: at most one accepted, few boxes
};

// The rows' message, unless a row writes its own.
const std::string Text = "disk full", Content = "\"0611\",\"disk full\"";

using O = RigOptions;
using Messages = std::vector<std::pair<std::string, std::string>>;
using enum sim::DialResult;
using Ucp = sim::UcpCentreOptions::Mode;
using Tap = sim::TapCentreOptions;
const auto Dial = [](sim::DialResult d) { return [d](O &o) { o.modem.result = d; }; };
const auto File = [](std::string s) { return [s](SendRig &r) { r.addMessage("a.dat", s); }; };
const auto Read = [](auto read) { return [read](SendRig &r) { r.gw.readMessageFile = read; }; };
const auto At = [](std::chrono::milliseconds when, void (*what)(SendRig &)) {
    return [when, what](SendRig &r) { r.t.world.after(when, [&r, what] { what(r); }); };
};
const auto Vanish = [](SendRig &r) { r.port.vanish(); };
constexpr const char *NoDial = "Could not dial SMS Center",
                     *Sent = "Message Sent: ", *Unread = "Message file could not be read: a.dat",
                     *Answer = "Response to message recieved:";

// clang-format off
const Row Rows[] = {
    {"dial without answer", Dial(Silent), {}, "kept", NoDial, 2},
    {"BUSY", Dial(Busy), {}, "kept", NoDial, 2},
    {"NO CARRIER", Dial(NoCarrier), {}, "kept", NoDial, 2},
    {"ERROR", Dial(Error), {}, "kept", NoDial, 2},
    {"NO DIALTONE", Dial(NoDialtone), {}, "kept", NoDial, 2},
    {"CONNECT without carrier", [](O &o) { o.modem.carrierDelay.reset(); }, {}, "kept", NoDial, 2},
    {"carrier lost during the carrier wait", // the echo ends the answer wait
     [](O &o) { o.modem.echo = true, o.modem.connectDelay = 5s; },
     At(3s, [](SendRig &r) { r.port.dropCarrier(); }), "delivered", ""},
    {"no ID= prompt", [](O &o) { o.protocol = "TAP", o.tap.ignoredPrompts = 1000; }, {},
     "kept", "Err-0016", 2},
    {"login NAK", [](O &o) { o.protocol = "TAP", o.tap.login = Tap::Login::Refuse; }, {},
     "kept", "Err-0016", 2},
    {"no go-ahead", [](O &o) { o.protocol = "TAP", o.tap.goAhead = false; }, {}, "kept", "", 2},
    {"carrier lost before the write (TAP login)",
     [](O &o) { o.protocol = "TAP", o.modem.dropAfter = 500ms; }, {}, "logged", "Err-0017", 2},
    {"carrier lost during the response window",
     [](O &o) { o.ucp.replyDelay = 800ms, o.modem.dropAfter = 200ms; }, {}, "delivered", Sent},
    {"port vanishes before the dial", {}, Vanish, "kept", "Err-0003:Dialing Error", 0},
    {"port vanishes after CONNECT (TAP login)", [](O &o) { o.protocol = "TAP"; },
     At(2300ms, Vanish), "kept", "Err-0016"},
    {"port vanishes during the response window", [](O &o) { o.ucp.replyDelay = 800ms; },
     At(2200ms, Vanish), "delivered", Sent},
    {"write refused", {},
     At(1999ms, [](SendRig &r) { r.port.failOnce("write", Failure{5, "Input/output error"}); }),
     "delivered", "Error Occured in UCP SMS sending", 2},
    {"UCP negative answer", [](O &o) { o.ucp.mode = Ucp::Reject; }, {}, "logged", Answer},
    {"garbage from the centre", [](O &o) { o.ucp.mode = Ucp::Garbage; }, {}, "logged", Answer},
    {"half an answer frame", [](O &o) { o.ucp.mode = Ucp::Half; }, {}, "logged", Answer},
    {"silent centre", [](O &o) { o.ucp.mode = Ucp::Silent; }, {}, "logged", Sent},
    {"TAP centre NAKs every block",
     [](O &o) { o.protocol = "TAP", o.tap.blocks = Tap::Blocks::Nak; }, {}, "logged", Sent},
    {"binary message file", {}, File({"\"0611\",\"\0\xff\x01\x7f\"", 13}), "delivered", ""},
    {"10 MB message file", {}, File(std::string(10 << 20, 'x')), "kept", Unread, 0},
    {"one field only", {}, File("\"0611\""), "delivered", ""},
    {"file vanishes between pick and read", {},
     Read([](auto &p) { fs::remove(p); return ReadOutboxFile(p); }), "vanished", Unread},
    {"file cannot be read", {},
     Read([](auto &) { return OutboxFileRead{{}, Failure{5, "Input/output error"}, {}}; }),
     "kept", Unread},
    {"file replaced while it is being sent", {},
     [](SendRig &r) { r.gw.readMessageFile = [&r, first = true](const std::string &p) mutable {
         OutboxFileRead read = ReadOutboxFile(p);
         if (std::exchange(first, false))
             r.addMessage("b.tmp", "\"0622\",\"newer\""), fs::rename(r.t.dir / "outbox/b.tmp", p);
         return read;
     }; },
     "delivered", "Message file changed while it was being sent: a.dat", 2, [](SendRig &r) {
         EXPECT_EQ(r.record.messages("accepted"), (Messages{{"0611", Text}, {"0622", "newer"}}));
     }},
    {"missing outbox folder", {},
     [](SendRig &r) {
         fs::remove_all(r.t.dir / "outbox");
         r.t.world.after(10s, [&r] { r.addMessage("a.dat", Content); });
     },
     "delivered", Sent},
    {"Master.Log cannot be written", {},
     [](SendRig &r) { fs::create_directory(r.t.dir / "Master.Log"); }, "delivered", "", 1,
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
        EXPECT_EQ(r.t.readFile("outbox/a.dat"), row.outcome == "kept" ? content : "");
        EXPECT_EQ(accepted.empty(), row.outcome != "delivered");
        // UCP logs the frame, which holds the text in IA5 hex.
        EXPECT_TRUE(row.outcome != "logged" || log.find(Text) != std::string::npos ||
                    log.find(EncodeIA5(Text).hex) != std::string::npos);
        EXPECT_TRUE(!*row.logged || r.logged(row.logged) >= 1) << row.logged;
        EXPECT_GE(dials, row.minDials);
        EXPECT_FALSE(r.port.isOpen() || r.gw.state.Connected || r.gw.state.AutoSending);
        if (row.check)
            row.check(r);
        else // a call that went through is not made again; at most one box per call
            EXPECT_TRUE(accepted.size() <= 1 && int(r.t.notifier.notices.size()) <= dials);
    }
}

} // namespace
} // namespace qm::test
