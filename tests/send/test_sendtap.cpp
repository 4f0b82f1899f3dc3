// TAP login and sending one block through the simulated modem and centre.

#include "send/sendtap.h"
#include "send/taplogin.h"
#include "sendrig.h"

#include <gtest/gtest.h>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;
using Login = sim::TapCentreOptions::Login;

const std::string Dial = "ATDT0612345678\r";
// Checksum worked out by hand from the checksum rule (tests/pure/test_pure.cpp).
const std::string Encoded = "Message encoded as : <STX>123<CR>abc<CR><ETX>1=;<CR>";
// The response entry holds all the call's text: the login dialogue is never emptied. The centre's
// part is recorded from the simulator.
const std::vector<std::string> Delivered = {
    Encoded, "Message Sent: " + Encoded.substr(21),
    "Response to message recieved:\r\nCONNECT 9600\r\nID=\x06\r\x1b[p\r\x06\r"};
const std::vector<std::string> Unanswered = {"The SMS Center gave no go-ahead after the TAP login. "
                                             "Message kept for the next try.\rNumber: 123"};

TEST(TAPLogin, PromptsLoginLineAndOutcome)
{
    // afterDial: all written after the dial command; done: virtual time when TAPLogin returned;
    // dropAfter: the call is lost then, the modem echoing what it is sent.
    // clang-format off
    const struct { const char *name; int ignoredPrompts; Login login;
        std::string afterDial, masterError; std::chrono::seconds done;
        std::optional<std::chrono::milliseconds> dropAfter = {}; } rows[] = {
        {"ID= on the third prompt", 2, Login::Check, "\r\r\r\x1bPG1secret\r", "", 6s},
        // No ID= ever: four prompts a second apart, then ATH.
        {"no ID= ever", 50, Login::Check, "\r\r\r\rATH",
         "Err-0014:Number of retries (3) over. Modem hung up.", 6s},
        {"login refused", 0, Login::Refuse, "\r\x1bPG1secret\r",
         "Err-0013:Incorrect Login to TAP account: Check password and other settings.", 4s},
        // "ID=" comes 200 ms after the third prompt, the call is gone before that prompt's wait
        // ends: the login line must not go to the modem in command mode, which would echo the
        // password into Master.Log.
        {"call dropped during the prompts", 2, Login::Check, "\r\r\r", "", 5s, 2500ms},
    };
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        RigOptions o = Tap("secret");
        o.tap.ignoredPrompts = row.ignoredPrompts;
        o.tap.login = row.login;
        o.modem.echo = row.dropAfter.has_value();
        o.modem.dropAfter = row.dropAfter;
        SendRig r(o);
        TAPLogin(r.gw);
        EXPECT_EQ(r.t.world.elapsed(), row.done);
        EXPECT_EQ(r.port.written, Dial + row.afterDial);
        const bool fails = !row.masterError.empty();
        EXPECT_EQ(r.gw.state.TapLoggedIn, !fails && !row.dropAfter);
        EXPECT_EQ(r.logged(fails ? row.masterError : "Err-"), fails ? 1 : 0);
    }
}

// Kept or deleted as tabled; a write refusal goes to Events.Log only.
TEST(SendTAPSMS, EachOutcomeLogsAndDisposesAsTabled)
{
    using enum SendOutcome;
    using Opts = RigOptions;
    // fault: made in the rig's options; outcome: Retry keeps the file; events: Events.Log, exact.
    // clang-format off
    const struct { const char *name; std::function<void(Opts &)> fault; SendOutcome outcome;
        int accepted; std::vector<std::string> events; bool writeFails = false; } rows[] = {
        {"delivered", [](Opts &) {}, Done, 1, Delivered},
        {"no carrier", [](Opts &o) { o.modem.result = sim::DialResult::NoCarrier; }, Retry, 0,
         {"Err-0009: Could not dial SMS Center. Please Check SMS Center number and modem "
          "Settings and try again"}},
        {"login refused", [](Opts &o) { o.tap.login = Login::Refuse; }, Retry, 0,
         {"Err-0016:TAP Login Failed. Please Check the SMS Center Number, Password, Modem Speed "
          "Settings and whether the Center supports TAP."}},
        {"no go-ahead", [](Opts &o) { o.tap.goAhead = false; }, Retry, 0, Unanswered},
        // A centre may take up to its response time-out (10 s) for the go-ahead.
        {"go-ahead 3 s after the login ACK", [](Opts &o) { o.tap.goAheadDelay = 3s; }, Done, 1,
         Delivered},
        {"go-ahead after the time-out", [](Opts &o) { o.tap.goAheadDelay = 11s; }, Retry, 0,
         Unanswered},
        // After the login line.
        {"write fails", [](Opts &) {}, Retry, 0,
         {Encoded,
          "Error Occured in TAP SMS sending. Please recheck paramters and retry again.\rI/O"}, true},
        {"carrier lost", [](Opts &o) { o.modem.dropAfter = 1500ms; }, Done, 0,
         {Encoded, "Err-0017:Message could not be sent:\rNumber: 123\rMessage:abc"}},
    };
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        RigOptions o = Tap("secret");
        row.fault(o);
        SendRig r(o);
        if (row.writeFails)
            r.t.world.after(3500ms, [&r] { r.port.failAlways("write", Failure{5, "I/O"}); });
        EXPECT_EQ(SendTAPSMS(r.gw, {"123", "abc"}), row.outcome);
        EXPECT_EQ(r.events(), row.events);
        EXPECT_EQ(r.record.count("accepted"), row.accepted);
        EXPECT_EQ(r.logged("Error Occured in TAP"), 0);
    }
}

} // namespace
} // namespace qm::test
