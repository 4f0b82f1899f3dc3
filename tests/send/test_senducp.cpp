// Building UCP frames, and sending one message through the simulated modem and centre.

#include "pure/ia5.h"
#include "pure/ucpframe.h"
#include "send/senducp.h"
#include "sendrig.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;
using namespace std::string_literals;

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

TEST(BuildUCPFrame, ByteExact)
{
    // Recipient "0123456", text "abc" (sums checked by hand: 1664 = 0x680 for "01").
    const struct {
        const char *ot, *auth, *legit, *inner;
    } rows[] = {
        {"01", "1234", "99", "01/00035/O/01/0123456///3/616263/80"},
        {"03", "1234", "99", "01/00051/O/03/0123456,99//1234/0//////////616263/8C"},
        {"30", "", "", "01/00040/O/30/0123456///1//////616263/67"},
        {"51", "", "", "01/00063/O/51/0123456///////////////////3/616263/////////////AA"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(BuildUCPFrame(r.ot, "0123456", "abc", r.auth, r.legit),
                  "\x02"s + r.inner + "\x03");
    // Nothing is escaped: the "/" shifts every field after it.
    EXPECT_EQ(BuildUCPFrame("01", "01/23", "", "", ""), "\00201/00027/O/01/01/23///3//D9\x03"s);
    for (const char *ot : {"", "02", "52", "01 "})
        EXPECT_FALSE(BuildUCPFrame(ot, "0123456", "abc", "", "").has_value()) << ot;
    EXPECT_EQ(IA5Encoding("\x00\x0f\xe9\xff"s), "000FE9FF");
}

TEST(BuildUCPFrame, LengthFieldAroundItsBreakpoints)
{
    // Type 01: LEN = 22 + recipient + 2 * text length, always five digits.
    const struct {
        const char *recipient;
        std::size_t textLength;
        std::string len;
    } rows[] = {{"0123456", 35, "00099"},
                {"01234567", 35, "00100"},
                {"01234567", 485, "01000"},
                {"0123456", 49985, "99999"}};
    for (const auto &[recipient, textLength, len] : rows) {
        SCOPED_TRACE(len);
        const std::string frame =
            *BuildUCPFrame("01", recipient, std::string(textLength, 'x'), "", "");
        EXPECT_EQ(frame.substr(4, 6), len + "/");
        EXPECT_EQ(frame.size() - 2, std::stoul(len));
        EXPECT_TRUE(Decoded(frame).ok); // a real centre reads exactly five digits
    }
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

TEST(SendUCPSMS, EachOutcomeLogsAndDisposesAsTabled)
{
    // What goes wrong; the faults strike between dialling and building the frame. The file is
    // kept from BadType on, and what no call could deliver is refused before dialling.
    enum Act { None, Pieces, Late, Disconnect, ClosePort, Dropped, BadType, TooLong, WriteFails };
    const std::string longText(49990, 'x'); // LEN would need six digits
    const std::string tooLong = "Message too long for one UCP frame. It is passed over until the "
                                "gateway is restarted.\rNumber: 0123456\rMessage:" +
                                longText;
    const struct {
        Act act;
        std::vector<std::string> events; // Events.Log texts, exact
    } rows[] = {
        {None, {Encoded, Sent, Response + Connect + Answer}},
        // Each piece of the answer is one entry; a late answer is left for later.
        {Pieces,
         {Encoded, Sent, Response + Connect + Answer.substr(0, Half),
          Response + Answer.substr(Half)}},
        {Late, {Encoded, Sent, Response + Connect}},
        {Disconnect, {Encoded, "Message could not be sent:" + NumberAndMessage}},
        {ClosePort, {Encoded, "Err-0004:Port closed Prematurely" + NumberAndMessage}},
        // The call dropped with no event served yet: the "NO CARRIER" the clear threw away
        // counts, and no frame goes to a modem in command mode.
        {Dropped, {Encoded, "Message could not be sent:" + NumberAndMessage}},
        {BadType, {NotSupported + NumberAndMessage}},
        {TooLong, {tooLong}},
        {WriteFails,
         {Encoded, "Error Occured in UCP SMS sending. Please recheck paramters and retry again.\r"
                   "Input/output error"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.act);
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
        using enum SendOutcome;
        const SendOutcome outcome =
            SendUCPSMS(r.gw, {"0123456", row.act == TooLong ? longText : "abc"});
        EXPECT_EQ(r.events(), row.events);
        EXPECT_EQ(outcome, row.act < BadType ? Done : row.act == TooLong ? PassOver : Retry);
        EXPECT_EQ(r.record.count("dial"), row.act == BadType || row.act == TooLong ? 0 : 1);
        EXPECT_EQ(r.record.count("accepted"), row.act <= Late ? 1 : 0);
        EXPECT_EQ(r.t.notifier.notices.size(), row.act == BadType ? 1u : 0u);
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
