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
    const char *outcome;
    const char *logged;                        // a Master.Log entry starts with this ("" for none)
    int minDials = 1;                          // a kept message is tried again on the next passes
    std::function<void(SendRig &)> check = {}; // instead of: at most one accepted, few boxes
};

// The rows' message, unless a row writes its own.
const std::string Recipient = "0611", Text = "disk full", Content = "\"0611\",\"disk full\"";

using O = RigOptions;
using sim::DialResult;
using Ucp = sim::UcpCentreOptions::Mode;
using Tap = sim::TapCentreOptions;
const auto Dial = [](DialResult d) { return [d](O &o) { o.modem.result = d; }; };

// clang-format off
const Row Rows[] = {
    {"dial without answer", Dial(DialResult::Silent), {}, "kept", "Could not dial SMS Center", 2},
    {"BUSY", Dial(DialResult::Busy), {}, "kept", "Could not dial SMS Center", 2},
    {"NO CARRIER", Dial(DialResult::NoCarrier), {}, "kept", "Could not dial SMS Center", 2},
    {"ERROR", Dial(DialResult::Error), {}, "kept", "Could not dial SMS Center", 2},
    {"NO DIALTONE", Dial(DialResult::NoDialtone), {}, "kept", "Could not dial SMS Center", 2},
    {"CONNECT without carrier", [](O &o) { o.modem.carrierDelay.reset(); }, {},
     "kept", "Could not dial SMS Center", 2},
    {"carrier lost during the carrier wait",
     [](O &o) { o.modem.echo = true, o.modem.connectDelay = 5s; }, // the echo ends the answer wait
     [](SendRig &r) { r.t.world.after(3s, [&r] { r.port.dropCarrier(); }); }, "delivered", ""},
    {"no ID= prompt", [](O &o) { o.protocol = "TAP", o.tap.ignoredPrompts = 1000; }, {}, "kept", "Err-0016", 2},
    {"login NAK", [](O &o) { o.protocol = "TAP", o.tap.login = Tap::Login::Refuse; }, {}, "kept", "Err-0016", 2},
    {"no go-ahead", [](O &o) { o.protocol = "TAP", o.tap.goAhead = false; }, {}, "kept", "", 2},
    {"carrier lost before the write (TAP login)", [](O &o) { o.protocol = "TAP", o.modem.dropAfter = 500ms; }, {},
     "logged", "Err-0017", 2},
    {"carrier lost during the response window", [](O &o) { o.ucp.replyDelay = 800ms, o.modem.dropAfter = 200ms; }, {},
     "delivered", "Message Sent: "},
    {"port vanishes before the dial", {}, [](SendRig &r) { r.port.vanish(); },
     "kept", "Err-0003:Dialing Error", 0},
    {"port vanishes after CONNECT (TAP login)", [](O &o) { o.protocol = "TAP"; },
     [](SendRig &r) { r.t.world.after(2300ms, [&r] { r.port.vanish(); }); }, "kept", "Err-0016", 1},
    {"port vanishes during the response window", [](O &o) { o.ucp.replyDelay = 800ms; },
     [](SendRig &r) { r.t.world.after(2200ms, [&r] { r.port.vanish(); }); }, "delivered", "Message Sent: "},
    {"write refused", {},
     [](SendRig &r) { r.t.world.after(1999ms, [&r] { r.port.failOnce("write", Failure{5, "Input/output error"}); }); },
     "delivered", "Error Occured in UCP SMS sending", 2},
    {"UCP negative answer", [](O &o) { o.ucp.mode = Ucp::Reject; }, {}, "logged", "Response to message recieved:"},
    {"garbage from the centre", [](O &o) { o.ucp.mode = Ucp::Garbage; }, {}, "logged", "Response to message recieved:"},
    {"half an answer frame", [](O &o) { o.ucp.mode = Ucp::Half; }, {}, "logged", "Response to message recieved:"},
    {"silent centre", [](O &o) { o.ucp.mode = Ucp::Silent; }, {}, "logged", "Message Sent: "},
    {"TAP centre NAKs every block", [](O &o) { o.protocol = "TAP", o.tap.blocks = Tap::Blocks::Nak; }, {},
     "logged", "Message Sent: "},
    {"binary message file", {},
     [](SendRig &r) { r.addMessage("a.dat", std::string("\"0611\",\"\0\xff\x01\x7f\"", 13)); }, "delivered", ""},
    {"10 MB message file", {}, [](SendRig &r) { r.addMessage("a.dat", std::string(10 << 20, 'x')); },
     "kept", "Message file could not be read: a.dat", 0},
    {"one field only", {}, [](SendRig &r) { r.addMessage("a.dat", "\"0611\""); }, "delivered", ""},
    {"file vanishes between pick and read", {},
     [](SendRig &r) {
         r.gw.readMessageFile = [](const std::string &path) { fs::remove(path); return ReadOutboxFile(path); };
     },
     "vanished", "Message file could not be read: a.dat"},
    {"file cannot be read", {},
     [](SendRig &r) {
         r.gw.readMessageFile = [](const std::string &) { return OutboxFileRead{{}, Failure{5, "Input/output error"}, {}}; };
     },
     "kept", "Message file could not be read: a.dat"},
    {"file replaced while it is being sent", {},
     [](SendRig &r) {
         r.gw.readMessageFile = [&r, first = true](const std::string &path) mutable {
             OutboxFileRead read = ReadOutboxFile(path);
             if (std::exchange(first, false)) {
                 r.addMessage("b.tmp", "\"0622\",\"newer\"");
                 fs::rename(r.t.dir / "outbox" / "b.tmp", path);
             }
             return read;
         };
     },
     "delivered", "Message file changed while it was being sent: a.dat", 2,
     [](SendRig &r) {
         EXPECT_EQ(r.record.messages("accepted"),
                   (std::vector<std::pair<std::string, std::string>>{{Recipient, Text}, {"0622", "newer"}}));
     }},
    {"missing outbox folder", {},
     [](SendRig &r) {
         fs::remove_all(r.t.dir / "outbox");
         r.t.world.after(10s, [&r] { r.addMessage("a.dat", Content); });
     },
     "delivered", "Message Sent: "},
    {"Master.Log cannot be written", {}, [](SendRig &r) { fs::create_directory(r.t.dir / "Master.Log"); },
     "delivered", "", 1,
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

bool TextInMasterLog(const SendRig &r, const std::string &text)
{
    const std::string log = r.t.readFile("Master.Log");
    // UCP logs the frame, which holds the text in IA5 hex.
    return log.find(text) != std::string::npos ||
           log.find(EncodeIA5(text).hex) != std::string::npos;
}

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
        const bool kept = !r.outbox().empty(), vanished = row.outcome == std::string("vanished");
        const std::string seen = kept                ? "kept"
                                 : !accepted.empty() ? "delivered"
                                 : vanished          ? "vanished"
                                                     : "logged";
        EXPECT_EQ(seen, row.outcome);
        const std::string log = r.t.readFile("Master.Log");
        EXPECT_TRUE(seen != "logged" || TextInMasterLog(r, Text)) << log;
        EXPECT_TRUE(seen != "kept" || r.t.readFile("outbox/a.dat") == content);
        EXPECT_TRUE(!*row.logged || r.logged(row.logged) >= 1) << log;
        EXPECT_GE(r.record.count("dial"), row.minDials);
        EXPECT_FALSE(r.port.isOpen());
        EXPECT_FALSE(r.gw.state.Connected);
        EXPECT_FALSE(r.gw.state.AutoSending);
        if (row.check) {
            row.check(r);
        } else {
            EXPECT_LE(accepted.size(), 1u); // a call that went through is not made again
            // The modem's answers are shown as boxes; no more than one per call.
            EXPECT_LE(int(r.t.notifier.notices.size()), r.record.count("dial"));
        }
    }
}

} // namespace
} // namespace qm::test
