// Sending one UCP message through the simulated modem and centre, and the
// simulated centre's judgement of the frames it is sent.

#include "pure/centreanswer.h"
#include "pure/ucpframe.h"
#include "send/senducp.h"
#include "sendrig.h"

#include <gtest/gtest.h>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;

// LEN and checksum worked out by hand from the checksum rule (tests/pure/test_pure.cpp).
const std::string Frame = "<STX>01/00035/O/01/0123456///3/616263/80<ETX>";
const std::string Encoded = "Message encoded as : " + Frame, Sent = "Message Sent: " + Frame;
const std::string NumberAndMessage = "\rNumber: 0123456\rMessage:abc";
// Dialling leaves the modem's answer in ReceiveBuffer; the window logs it first.
const std::string Response = "Response to message recieved:";
const std::string Connect = "\r\nCONNECT 9600\r\n";
const std::string Answer = sim::BuildUcpAnswer("01", "01", "", "0123456:061206120000");
const std::size_t Half = Answer.size() / 2;
const std::string NotSupported = "Err-0008:Operation not supported in this version";

// The bytes between STX and ETX.
sim::UcpDecoded Decoded(const std::string &frame)
{
    return sim::DecodeUcpFrame(frame.substr(1, frame.size() - 2));
}

// A frame around `afterLen` with a correct LEN (plus `lenError`) and checksum.
std::string Wrap(const std::string &afterLen, int lenError = 0)
{
    const std::string body =
        "01/" + UCPLengthField(afterLen.size() + 11 + lenError) + "/" + afterLen;
    return "\002" + body + UCPChecksum(body) + "\003";
}

// The simulated centre judges what the gateway sends in the other tests: it must
// refuse a changed byte, a wrong LEN or a missing field, or a gateway fault would
// pass unseen.
TEST(UcpCentre, AcceptsGatewayFramesAndRefusesAChangedByteWrongLenOrMissingField)
{
    for (const char *ot : {"01", "03", "30", "51"}) {
        SCOPED_TRACE(ot);
        const std::string frame = *BuildUCPFrame(ot, "0123456", "ab\xe9", "12", "");
        const sim::UcpDecoded ok = Decoded(frame);
        EXPECT_TRUE(ok.ok) << ok.reason;
        EXPECT_EQ(ok.ot + ok.recipient + "/" + ok.text, ot + std::string("0123456/ab\xe9"));
        for (std::size_t i = 1; i + 1 < frame.size(); ++i) {
            std::string bad = frame;
            bad[i] = i >= frame.size() - 3 ? (bad[i] == '0' ? '1' : '0') : char(bad[i] + 1);
            EXPECT_FALSE(Decoded(bad).ok) << i;
        }
    }
    std::string fewer = BuildUCPFrame("51", "0123456", "abc", "", "")->substr(10);
    fewer.resize(fewer.size() - 3);
    fewer.erase(fewer.find("//"), 1); // one empty field fewer before MT
    for (const std::string &frame :
         {Wrap("O/01/0123456///3/616263/", -1), Wrap("O/01/0123456///3/616263/", 1), Wrap(fewer)})
        EXPECT_FALSE(Decoded(frame).ok) << frame;
    EXPECT_TRUE(Decoded(Wrap("O/01/0123456///3/616263/")).ok);
}

// Whether the centre took a message decides the fate of a file whose text no log could take. The
// answers come from the simulated centre's own builder, written apart from the gateway's reader.
TEST(CentreAnswer, OnlyAPositiveAnswerToTheMessageCountsAsTaken)
{
    const std::string refused = sim::BuildUcpAnswer("01", "01", "02", "");
    std::string badSum = Answer;
    badSum[badSum.size() - 2] ^= 1;
    // clang-format off
    const struct { const char *name; std::string received; bool ucp; const char *ot; bool taken; }
        rows[] = {
        {"UCP positive, after the modem's answer", Connect + Answer, true, "01", true},
        {"UCP positive after a negative one", refused + Answer, true, "01", true},
        {"UCP negative (N/02)", refused, true, "01", false},
        {"UCP positive for another operation type", Answer, true, "51", false},
        {"UCP half an answer", Answer.substr(0, Half), true, "01", false},
        {"UCP answer with a wrong checksum", badSum, true, "01", false},
        {"UCP noise", "\x02garbage\x03", true, "01", false},
        {"TAP ACK", "\x06\r", false, "", true},
        {"TAP NAK", "\x15\r", false, "", false},
        {"TAP RS", "\x1e\r", false, "", false},
        {"TAP ACK then disconnect", "\x06\r\x1b\x04\r", false, "", false},
        {"TAP nothing", "", false, "", false}};
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.ucp ? UCPAnswerAccepts(row.received, row.ot) : TAPAnswerAccepts(row.received),
                  row.taken);
    }
}

TEST(SendUCPSMS, EachOutcomeLogsAndDisposesAsTabled)
{
    // What goes wrong; the faults strike between dialling and building the frame. What no call
    // could deliver is refused before dialling.
    enum Act { None, Pieces, Late, Disconnect, ClosePort, Dropped, BadType, TooLong, WriteFails };
    const std::string longText(49990, 'x'); // LEN would need six digits
    const std::string tooLong = "Message too long for one UCP frame. It is passed over until the "
                                "gateway is restarted.\rNumber: 0123456\rMessage:" +
                                longText;
    using enum SendOutcome;
    // events: Events.Log texts, exact.
    // clang-format off
    const struct { const char *name; Act act; SendOutcome outcome; int dials, accepted;
        bool notSupportedBox; std::vector<std::string> events; } rows[] = {
        {"delivered", None, Done, 1, 1, false, {Encoded, Sent, Response + Connect + Answer}},
        // Each piece of the answer is one entry; a late answer is left for later.
        {"answer in two pieces", Pieces, Done, 1, 1, false,
         {Encoded, Sent, Response + Connect + Answer.substr(0, Half),
          Response + Answer.substr(Half)}},
        {"late answer", Late, Done, 1, 1, false, {Encoded, Sent, Response + Connect}},
        {"disconnected", Disconnect, Done, 1, 0, false,
         {Encoded, "Message could not be sent:" + NumberAndMessage}},
        {"port closed", ClosePort, Done, 1, 0, false,
         {Encoded, "Err-0004:Port closed Prematurely" + NumberAndMessage}},
        // The call dropped with no event served yet: the "NO CARRIER" the clear threw away
        // counts, and no frame goes to a modem in command mode.
        {"carrier dropped", Dropped, Done, 1, 0, false,
         {Encoded, "Message could not be sent:" + NumberAndMessage}},
        {"unsupported type", BadType, Retry, 0, 0, true, {NotSupported + NumberAndMessage}},
        {"too long", TooLong, PassOver, 0, 0, false, {tooLong}},
        {"write fails", WriteFails, Retry, 1, 0, false,
         {Encoded, "Error Occured in UCP SMS sending. Please recheck paramters and retry again.\r"
                   "Input/output error"}},
    };
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        RigOptions o;
        o.ucp.replyPieces = row.act == Pieces ? 2 : 1;
        o.ucp.replyDelay = row.act == Late ? 1500ms : o.ucp.replyDelay;
        SendRig r(o);
        r.t.fields.OperationType = row.act == BadType ? "1" : "01";
        r.t.fields.whenCodeRead = [&r, act = row.act, reads = 0]() mutable {
            if (++reads < 2) // the first read checks the length, before dialling
                return;
            if (act == Disconnect)
                r.gw.state.Connected = false;
            if (act == ClosePort)
                r.port.close();
            if (act == Dropped)
                r.port.dropCarrier();
            if (act == WriteFails)
                r.port.failAlways("write", Failure{5, "Input/output error"});
        };
        EXPECT_EQ(SendUCPSMS(r.gw, {"0123456", row.act == TooLong ? longText : "abc"}),
                  row.outcome);
        EXPECT_EQ(r.events(), row.events);
        EXPECT_EQ(r.record.count("dial"), row.dials);
        EXPECT_EQ(r.record.count("accepted"), row.accepted);
        EXPECT_EQ(r.t.notifier.notices.size(), row.notSupportedBox ? 1u : 0u);
        for (const Notice &n : r.t.notifier.notices)
            EXPECT_EQ(n.text, NotSupported);
    }
}

TEST(SendUCPSMS, EveryOperationTypeIsDeliveredWithItsCodes)
{
    for (const std::string ot : {"01", "03", "30", "51"}) {
        SCOPED_TRACE(ot);
        RigOptions o;
        o.operationType = ot;
        o.ucp.checkAuthentication = true;
        o.ucp.authenticationCode = "1234";
        o.ucp.legitimizationCode = "5678";
        SendRig r(o);
        r.t.fields.AuthenticationCode = "1234";
        r.t.fields.LegitimizationCode = "5678";
        EXPECT_EQ(SendUCPSMS(r.gw, {"012345", "Disk C: 95% full"}), SendOutcome::Done);
        EXPECT_EQ(r.record.messages("accepted"), (std::vector<std::pair<std::string, std::string>>{
                                                     {"012345", "Disk C: 95% full"}}));
    }
}

} // namespace
} // namespace qm::test
