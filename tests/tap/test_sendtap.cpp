// TAP login and sending one block through the simulated modem and centre.

#include "log/controlchars.h"
#include "modem/dial.h"
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
// The worked example: recipient 123, text abc; the checksum of 475 (0x1DB)
// is "1=;".
const std::string Block = "\x02"
                          "123\rabc\r\x03"
                          "1=;\r";
const std::string Shown = "<STX>123<CR>abc<CR><ETX>1=;<CR>";
const std::string Err16 = "Err-0016:TAP Login Failed. Please Check the SMS Center Number, "
                          "Password, Modem Speed Settings and whether the Center supports TAP.";

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
    // The response entry holds all the call's text: the login dialogue is
    // never emptied from the buffer.
    EXPECT_EQ(r.events(), (std::vector<std::string>{
                              "Message encoded as : " + Shown, "Message Sent: " + Shown,
                              "Response to message recieved:\r\nCONNECT 9600\r\nID=\x06\r\x1b[p\r"
                              "\x06\r"}));
    EXPECT_TRUE(r.outbox().empty());
    ASSERT_GE(r.t.status.history.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(r.t.status.history.end() - 2, r.t.status.history.end()),
              (std::vector<std::string>{"Message sent", "Message Sent"}));
    EXPECT_TRUE(r.gw.state.TapLoggedIn);
    EXPECT_TRUE(r.t.sec1.isEnabled()); // left running
}

TEST(TAPLogin, PromptsLoginLineAndOutcome)
{
    using Login = sim::TapCentreOptions::Login;
    struct Row {
        const char *name;
        std::function<void(RigOptions &)> options;
        std::string afterDial; // everything written after the dial command
        bool loggedIn;
        std::vector<std::string> masterErrors; // Err- entries of Master.Log, in order
        std::chrono::milliseconds loginDone;   // virtual time when TAPLogin returned
    };
    const std::vector<Row> rows = {
        {"ID= at the first prompt", {}, "\r\x1bPG1secret\r", true, {}, 4s},
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
         [](RigOptions &o) { o.tap.login = Login::Refuse; },
         "\r\x1bPG1secret\r",
         false,
         {"Err-0013:Incorrect Login to TAP account: Check password and other settings."},
         4s},
        {"centre disconnects: no entry of its own",
         [](RigOptions &o) { o.tap.login = Login::Disconnect; },
         "\r\x1bPG1secret\r",
         false,
         {},
         4s},
        {"empty password",
         [](RigOptions &o) { o.tap.password.clear(); },
         "\r\x1bPG1\r",
         true,
         {},
         4s},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        RigOptions o = Tap("secret");
        if (row.options)
            row.options(o);
        SendRig r(o);
        r.t.fields.AuthenticationCode = o.tap.password;
        TAPLogin(r.gw);
        EXPECT_EQ(r.t.world.elapsed(), row.loginDone);
        EXPECT_EQ(r.port.written, Dial + row.afterDial);
        EXPECT_EQ(r.gw.state.TapLoggedIn, row.loggedIn);
        // Only giving up hangs up.
        EXPECT_EQ(r.gw.state.Connected, row.afterDial.find("ATH") == std::string::npos);
        std::vector<std::string> errors;
        for (const std::string &e : r.master())
            if (e.rfind("Err-", 0) == 0)
                errors.push_back(e);
        EXPECT_EQ(errors, row.masterErrors);
        EXPECT_TRUE(r.events().empty());
    }
}

TEST(TAPLogin, OnAnUpCallAckWinsOverAnEarlierNak)
{
    SendRig r(Tap("secret"));
    r.t.fields.AuthenticationCode = "secret";
    DialSMSCenter(r.gw, "0612345678");
    ASSERT_TRUE(r.gw.state.Connected);
    r.gw.state.ReceiveBuffer += Ctl::NAK;
    const auto dialled = r.t.world.elapsed();
    TAPLogin(r.gw);
    EXPECT_TRUE(r.gw.state.TapLoggedIn);
    EXPECT_EQ(r.record.count("dial"), 1);
    EXPECT_EQ(r.t.world.elapsed() - dialled, 2s); // first prompt at once, two waits
    EXPECT_EQ(r.logged("Err-"), 0);
}

TEST(SendTAPSMS, LoggedInWithGoAheadInTheBufferSendsTheBlockAtOnce)
{
    SendRig r(Tap());
    DialSMSCenter(r.gw, "0612345678");
    r.gw.state.TapLoggedIn = true;
    r.gw.state.ReceiveBuffer += "\x1b[p\r";
    SendTAPSMS(Prepared(r).gw, "", "", "m.dat");
    EXPECT_EQ(r.port.written, Dial + Block);
    EXPECT_TRUE(r.outbox().empty());
}

TEST(SendTAPSMS, FailuresLogKeepOrDeleteAsTabled)
{
    const std::string noGoAhead = "The SMS Center gave no go-ahead after the TAP login. Message "
                                  "kept for the next try.\rNumber: 123";
    struct Row {
        const char *name;
        std::function<void(RigOptions &)> options;
        std::function<void(SendRig &)> setup;
        std::vector<std::string> events; // Events.Log, exact
        bool fileKept;
        bool blockWritten;
    };
    const std::vector<Row> rows = {
        {"dialling failed",
         [](RigOptions &o) { o.modem.result = sim::DialResult::NoCarrier; },
         {},
         {"Err-0009: Could not dial SMS Center. Please Check SMS Center number and modem "
          "Settings and try again"},
         true,
         false},
        {"login refused",
         [](RigOptions &o) { o.tap.login = sim::TapCentreOptions::Login::Refuse; },
         {},
         {Err16},
         true,
         false},
        {"no go-ahead", [](RigOptions &o) { o.tap.goAhead = false; }, {}, {noGoAhead}, true, false},
        {"go-ahead after the login wait",
         [](RigOptions &o) { o.tap.goAheadDelay = 2s; },
         {},
         {noGoAhead},
         true,
         false},
        {"write refused: Events.Log only",
         {},
         [](SendRig &r) {
             // After the login line (3 s), before the block (4 s).
             r.t.world.after(3500ms, [&r] { r.port.failAlways("write", Failure{5, "I/O"}); });
         },
         {"Message encoded as : " + Shown,
          "Error Occured in TAP SMS sending. Please recheck paramters and retry again.\rI/O"},
         true,
         false},
        {"carrier lost before the block",
         [](RigOptions &o) { o.modem.dropAfter = 1500ms; },
         {},
         {"Message encoded as : " + Shown, "Err-0017:Message could not be sent:\rNumber: "
                                           "123\rMessage:abc"},
         false,
         false},
    };
    for (const Row &row : rows) {
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
        EXPECT_EQ(r.port.written.find(Block) != std::string::npos, row.blockWritten);
        // Nothing went out, so the status line never says it did.
        for (const std::string &s : r.t.status.history)
            EXPECT_EQ(s.rfind("Message ", 0), std::string::npos) << s;
        // The write refusal is not in Master.Log.
        EXPECT_EQ(r.logged("Error Occured in TAP"), 0);
    }
}

TEST(SendTAPSMS, TestModeSendsTestMessageAndAnswerPiecesGiveOneEntryEach)
{
    RigOptions o = Tap();
    o.tap.replyPieces = 2;
    SendRig r(o);
    r.gw.state.TestMode = true;
    r.addMessage("m.dat", "\"1\",\"x\"");
    SendTAPSMS(r.gw, "0611", "", "");
    EXPECT_EQ(r.record.messages("accepted"),
              (std::vector<std::pair<std::string, std::string>>{{"0611", "Test Message"}}));
    EXPECT_EQ(r.outbox(), std::vector<std::string>{"m.dat"});
    const auto events = r.events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[3], "Response to message recieved:\r");
    EXPECT_TRUE(r.gw.state.ReceiveBuffer.empty());
}

} // namespace
} // namespace qm::test
