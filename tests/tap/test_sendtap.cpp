// TAP login and sending one block through the simulated modem and centre.

#include "sendrig.h"
#include "tap/sendtap.h"
#include "tap/taplogin.h"

#include <gtest/gtest.h>

#include <functional>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;

const std::string Dial = "ATDT0612345678\r";
const std::string Block = "\002123\rabc\r\0031=;\r"; // checksum of 475 = 0x1DB
const std::string Shown = "<STX>123<CR>abc<CR><ETX>1=;<CR>";

SendRig &Prepared(SendRig &r)
{
    r.addMessage("m.dat", "\"123\",\"abc\"\r\n");
    return r;
}

TEST(SendTAPSMS, DeliversTheWorkedExampleBlock)
{
    SendRig r(Tap("secret"));
    SendTAPSMS(Prepared(r).gw, "", "", "m.dat");
    EXPECT_EQ(r.port.written, Dial + "\r\x1bPG1secret\r" + Block);
    EXPECT_EQ(r.record.messages("accepted"),
              (std::vector<std::pair<std::string, std::string>>{{"123", "abc"}}));
    // The response entry holds all the call's text: the login dialogue is never emptied.
    EXPECT_EQ(r.events(), (std::vector<std::string>{
                              "Message encoded as : " + Shown, "Message Sent: " + Shown,
                              "Response to message recieved:\r\nCONNECT 9600\r\nID=\x06\r\x1b[p\r"
                              "\x06\r"}));
    EXPECT_TRUE(r.outbox().empty());
    EXPECT_TRUE(r.gw.state.TapLoggedIn);
}

TEST(TAPLogin, PromptsLoginLineAndOutcome)
{
    const struct {
        const char *name;
        std::function<void(RigOptions &)> options;
        std::string afterDial; // everything written after the dial command
        bool loggedIn;
        std::vector<std::string> masterErrors;
        std::chrono::milliseconds done; // virtual time when TAPLogin returned
    } rows[] = {
        {"ID= after two silent prompts",
         [](RigOptions &o) { o.tap.ignoredPrompts = 2; },
         "\r\r\r\x1bPG1secret\r",
         true,
         {},
         6s},
        {"no ID= ever: four prompts a second apart, then ATH",
         [](RigOptions &o) { o.tap.ignoredPrompts = 50; },
         "\r\r\r\rATH",
         false,
         {"Err-0014:Number of retries (3) over. Modem hung up."},
         6s},
        {"NAK",
         [](RigOptions &o) { o.tap.login = sim::TapCentreOptions::Login::Refuse; },
         "\r\x1bPG1secret\r",
         false,
         {"Err-0013:Incorrect Login to TAP account: Check password and other settings."},
         4s},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        RigOptions o = Tap("secret");
        row.options(o);
        SendRig r(o);
        r.t.fields.AuthenticationCode = "secret";
        TAPLogin(r.gw);
        EXPECT_EQ(r.t.world.elapsed(), row.done);
        EXPECT_EQ(r.port.written, Dial + row.afterDial);
        EXPECT_EQ(r.gw.state.TapLoggedIn, row.loggedIn);
        std::vector<std::string> errors;
        for (const std::string &e : r.master())
            if (e.rfind("Err-", 0) == 0)
                errors.push_back(e);
        EXPECT_EQ(errors, row.masterErrors);
    }
}

// Kept or deleted as tabled; a write refusal goes to Events.Log only.
TEST(SendTAPSMS, FailuresLogKeepOrDeleteAsTabled)
{
    const std::string noGoAhead = "The SMS Center gave no go-ahead after the TAP login. Message "
                                  "kept for the next try.\rNumber: 123";
    const struct {
        const char *name;
        std::function<void(RigOptions &)> options;
        std::function<void(SendRig &)> setup;
        std::vector<std::string> events; // Events.Log, exact
        bool fileKept;
    } rows[] = {
        {"dialling failed",
         [](RigOptions &o) { o.modem.result = sim::DialResult::NoCarrier; },
         {},
         {"Err-0009: Could not dial SMS Center. Please Check SMS Center number and modem "
          "Settings and try again"},
         true},
        {"login refused",
         [](RigOptions &o) { o.tap.login = sim::TapCentreOptions::Login::Refuse; },
         {},
         {"Err-0016:TAP Login Failed. Please Check the SMS Center Number, Password, Modem Speed "
          "Settings and whether the Center supports TAP."},
         true},
        {"no go-ahead", [](RigOptions &o) { o.tap.goAhead = false; }, {}, {noGoAhead}, true},
        {"write refused after the login line",
         {},
         [](SendRig &r) {
             r.t.world.after(3500ms, [&r] { r.port.failAlways("write", Failure{5, "I/O"}); });
         },
         {"Message encoded as : " + Shown,
          "Error Occured in TAP SMS sending. Please recheck paramters and retry again.\rI/O"},
         true},
        {"carrier lost before the block",
         [](RigOptions &o) { o.modem.dropAfter = 1500ms; },
         {},
         {"Message encoded as : " + Shown,
          "Err-0017:Message could not be sent:\rNumber: 123\rMessage:abc"},
         false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        RigOptions o = Tap();
        if (row.options)
            row.options(o);
        SendRig r(o);
        if (row.setup)
            row.setup(r);
        SendTAPSMS(Prepared(r).gw, "", "", "m.dat");
        EXPECT_EQ(r.events(), row.events);
        EXPECT_EQ(r.outbox().size(), row.fileKept ? 1u : 0u);
        EXPECT_EQ(r.port.written.find(Block), std::string::npos);
        EXPECT_EQ(r.logged("Error Occured in TAP"), 0);
    }
}

} // namespace
} // namespace qm::test
