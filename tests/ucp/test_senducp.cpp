// Sending one message by UCP through the simulated modem and centre.

#include "sendrig.h"
#include "ucp/senducp.h"

#include <gtest/gtest.h>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;

const std::string Frame = "<STX>01/00035/O/01/0123456///3/616263/80<ETX>";
const std::string Encoded = "Message encoded as : " + Frame, Sent = "Message Sent: " + Frame;
const std::string NumberAndMessage = "\rNumber: 0123456\rMessage:abc";
// Dialling leaves the modem's answer in ReceiveBuffer; the window logs it first.
const std::string Response = "Response to message recieved:";
const std::string Connect = "\r\nCONNECT 9600\r\n";
const std::string Answer = sim::BuildUcpAnswer("01", "01", "", "0123456:061206120000");
const std::size_t Half = Answer.size() / 2;
const std::string NotSupported = "Err-0008:Operation not supported in this version";

TEST(SendUCPSMS, EachOutcomeLogsAndDisposesAsTabled)
{
    // What goes wrong; the faults strike between dialling and building the frame.
    enum Act { None, Pieces, Late, BadType, Disconnect, ClosePort, WriteFails };
    const struct {
        Act act;
        std::vector<std::string> events; // Events.Log texts, exact
        bool fileKept;
    } rows[] = {
        {None, {Encoded, Sent, Response + Connect + Answer}, false},
        // Each piece of the answer is one entry; a late answer is left for later.
        {Pieces,
         {Encoded, Sent, Response + Connect + Answer.substr(0, Half),
          Response + Answer.substr(Half)},
         false},
        {Late, {Encoded, Sent, Response + Connect}, false},
        {BadType, {NotSupported + NumberAndMessage}, true},
        {Disconnect, {Encoded, "Message could not be sent:" + NumberAndMessage}, false},
        {ClosePort, {Encoded, "Err-0004:Port closed Prematurely" + NumberAndMessage}, false},
        {WriteFails,
         {Encoded, "Error Occured in UCP SMS sending. Please recheck paramters and retry again.\r"
                   "Input/output error"},
         true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.act);
        RigOptions o;
        o.ucp.replyPieces = row.act == Pieces ? 2 : 1;
        o.ucp.replyDelay = row.act == Late ? 1500ms : o.ucp.replyDelay;
        SendRig r(o);
        r.t.fields.OperationType = row.act == BadType ? "1" : "01";
        r.gw.recipientFilter = [&] {
            if (row.act == Disconnect)
                r.gw.state.Connected = false;
            if (row.act == ClosePort)
                r.port.close();
            if (row.act == WriteFails)
                r.port.failAlways("write", Failure{5, "Input/output error"});
            return MakePassThroughRecipientFilter();
        };
        r.addMessage("m.dat", "\"0123456\",\"abc\"\r\n");
        SendUCPSMS(r.gw, "", "", "m.dat");
        EXPECT_EQ(r.events(), row.events);
        EXPECT_EQ(r.outbox().size(), row.fileKept ? 1u : 0u);
        EXPECT_EQ(r.t.notifier.notices.size(), row.act == BadType ? 1u : 0u);
        for (const Notice &n : r.t.notifier.notices)
            EXPECT_EQ(n.text, NotSupported);
    }
}

TEST(SendUCPSMS, EveryOperationTypeIsDeliveredWithThePreparedRecipientAndCodes)
{
    for (const std::string ot : {"01", "03", "30", "51"}) {
        SCOPED_TRACE(ot);
        RigOptions o = Ucp(ot);
        o.ucp.checkAuthentication = true;
        o.ucp.authenticationCode = "1234";
        o.ucp.legitimizationCode = "5678";
        SendRig r(o);
        r.t.fields.AuthenticationCode = "1234";
        r.t.fields.LegitimizationCode = "5678";
        r.addMessage("m.dat", "\"01 23 45\r\n\",\"Disk C: 95% full\"\r\n");
        SendUCPSMS(r.gw, "", "", "m.dat");
        EXPECT_EQ(r.record.messages("accepted"), (std::vector<std::pair<std::string, std::string>>{
                                                     {"012345", "Disk C: 95% full"}}));
        EXPECT_TRUE(r.outbox().empty());
    }
}

} // namespace
} // namespace qm::test
