// TAP login and sending one block through the simulated modem and centre.

#include "pure/tapblock.h"
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
const std::string Encoded = "Message encoded as : <STX>123<CR>abc<CR><ETX>1=;<CR>";

TEST(BuildTAPBlock, ByteExactWithItsChecksum)
{
    const struct {
        std::string recipient, text, block;
    } rows[] = {
        {"123", "abc", "\002123\rabc\r\0031=;\r"},       // 475 = 0x1DB: the worked example
        {"1", "\xff\xff", "\0021\r\xff\xff\r\00324>\r"}, // 590 = 0x24E: bytes count unsigned
        // 5180 = 0x143C: only the low twelve bits.
        {"1", std::string(20, '\xff'), "\0021\r" + std::string(20, '\xff') + "\r\00343<\r"},
        {"7", "a\rb", "\0027\ra\rb\r\003126\r"}, // 294 = 0x126: nothing is escaped
    };
    for (const auto &r : rows) {
        EXPECT_EQ(BuildTAPBlock(r.recipient, r.text), r.block) << r.text.size();
        const sim::TapDecoded read = sim::DecodeTapBlock(r.block); // as the simulated centre
        EXPECT_EQ(read.status, sim::TapDecoded::Status::Ok);
        EXPECT_EQ(read.recipient + "/" + read.text, r.recipient + "/" + r.text);
    }
}

TEST(TAPLogin, PromptsLoginLineAndOutcome)
{
    const struct {
        int ignoredPrompts;
        Login login;
        std::string afterDial, masterError; // afterDial: all written after the dial command
        std::chrono::seconds done;          // virtual time when TAPLogin returned
    } rows[] = {
        {2, Login::Check, "\r\r\r\x1bPG1secret\r", "", 6s},
        // No ID= ever: four prompts a second apart, then ATH.
        {50, Login::Check, "\r\r\r\rATH", "Err-0014:Number of retries (3) over. Modem hung up.",
         6s},
        {0, Login::Refuse, "\r\x1bPG1secret\r",
         "Err-0013:Incorrect Login to TAP account: Check password and other settings.", 4s},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.afterDial);
        RigOptions o = Tap("secret");
        o.tap.ignoredPrompts = row.ignoredPrompts;
        o.tap.login = row.login;
        SendRig r(o);
        TAPLogin(r.gw);
        EXPECT_EQ(r.t.world.elapsed(), row.done);
        EXPECT_EQ(r.port.written, Dial + row.afterDial);
        const bool fails = !row.masterError.empty();
        EXPECT_EQ(r.gw.state.TapLoggedIn, !fails);
        EXPECT_EQ(r.logged(fails ? row.masterError : "Err-"), fails ? 1 : 0);
    }
}

// Kept or deleted as tabled; a write refusal goes to Events.Log only.
TEST(SendTAPSMS, EachOutcomeLogsAndDisposesAsTabled)
{
    // The file is kept from NoCarrier on.
    enum Act { None, CarrierLost, NoCarrier, Refused, NoGoAhead, WriteFails };
    const struct {
        Act act;
        std::vector<std::string> events; // Events.Log, exact
    } rows[] = {
        // The response entry holds all the call's text: the login dialogue is never emptied.
        {None,
         {Encoded, "Message Sent: " + Encoded.substr(21),
          "Response to message recieved:\r\nCONNECT 9600\r\nID=\x06\r\x1b[p\r\x06\r"}},
        {NoCarrier,
         {"Err-0009: Could not dial SMS Center. Please Check SMS Center number and modem "
          "Settings and try again"}},
        {Refused,
         {"Err-0016:TAP Login Failed. Please Check the SMS Center Number, Password, Modem Speed "
          "Settings and whether the Center supports TAP."}},
        {NoGoAhead,
         {"The SMS Center gave no go-ahead after the TAP login. Message kept for the next try."
          "\rNumber: 123"}},
        {WriteFails,
         {Encoded,
          "Error Occured in TAP SMS sending. Please recheck paramters and retry again.\rI/O"}},
        {CarrierLost, {Encoded, "Err-0017:Message could not be sent:\rNumber: 123\rMessage:abc"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.act);
        RigOptions o = Tap("secret");
        o.modem.result = row.act == NoCarrier ? sim::DialResult::NoCarrier : o.modem.result;
        o.modem.dropAfter = row.act == CarrierLost ? 1500ms : o.modem.dropAfter;
        o.tap.login = row.act == Refused ? Login::Refuse : Login::Check;
        o.tap.goAhead = row.act != NoGoAhead;
        SendRig r(o);
        if (row.act == WriteFails) // after the login line
            r.t.world.after(3500ms, [&r] { r.port.failAlways("write", Failure{5, "I/O"}); });
        const SendOutcome outcome = SendTAPSMS(r.gw, {"123", "abc"});
        EXPECT_EQ(r.events(), row.events);
        EXPECT_EQ(outcome, row.act >= NoCarrier ? SendOutcome::Retry : SendOutcome::Done);
        EXPECT_EQ(r.record.count("accepted"), row.act == None ? 1 : 0);
        EXPECT_EQ(r.logged("Error Occured in TAP"), 0);
    }
}

} // namespace
} // namespace qm::test
