// Sending one message by UCP through the simulated modem and centre.

#include "sendrig.h"
#include "ucp/senducp.h"

#include <gtest/gtest.h>

#include <functional>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;

const std::string File = "\"0123456\",\"abc\"\r\n";
const std::string Frame = "<STX>01/00035/O/01/0123456///3/616263/80<ETX>";
const std::string NumberAndMessage = "\rNumber: 0123456\rMessage:abc";
// Dialling leaves the modem's answer in ReceiveBuffer; the window logs it first.
const std::string ConnectText = "\r\nCONNECT 9600\r\n";
const std::string Answer = sim::BuildUcpAnswer("01", "01", "", "0123456:061206120000");

// A recipient filter that acts on the gateway between dialling and building the frame.
RecipientFilterFactory During(std::function<void()> act)
{
    return [act] {
        act();
        return MakePassThroughRecipientFilter();
    };
}

TEST(SendUCPSMS, EachOutcomeLogsAndDisposesAsTabled)
{
    const struct {
        const char *name;
        std::function<void(SendRig &)> setup;
        std::vector<std::string> events; // Events.Log texts, exact
        bool fileKept;
        const char *box = nullptr; // the text of the one box shown
    } rows[] = {
        {"frame written",
         {},
         {"Message encoded as : " + Frame, "Message Sent: " + Frame,
          "Response to message recieved:" + ConnectText + Answer},
         false},
        {"operation type not supported",
         [](SendRig &r) { r.t.fields.OperationType = "1"; },
         {"Err-0008:Operation not supported in this version" + NumberAndMessage},
         true,
         "Err-0008:Operation not supported in this version"},
        {"connection gone after building",
         [](SendRig &r) { r.gw.recipientFilter = During([&r] { r.gw.state.Connected = false; }); },
         {"Message encoded as : " + Frame, "Message could not be sent:" + NumberAndMessage},
         false},
        {"port closed after building",
         [](SendRig &r) { r.gw.recipientFilter = During([&r] { r.port.close(); }); },
         {"Message encoded as : " + Frame, "Err-0004:Port closed Prematurely" + NumberAndMessage},
         false},
        {"write failed",
         [](SendRig &r) {
             r.gw.recipientFilter = During([&r] {
                 r.port.failAlways("write", Failure{5, "Input/output error"});
             });
         },
         {"Message encoded as : " + Frame,
          "Error Occured in UCP SMS sending. Please recheck paramters and retry again.\r"
          "Input/output error"},
         true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        SendRig r;
        if (row.setup)
            row.setup(r);
        r.addMessage("m.dat", File);
        SendUCPSMS(r.gw, "", "", "m.dat");
        EXPECT_EQ(r.events(), row.events);
        EXPECT_EQ(r.outbox().size(), row.fileKept ? 1u : 0u);
        std::vector<std::string> boxes;
        for (const Notice &n : r.t.notifier.notices)
            boxes.push_back(n.text);
        EXPECT_EQ(boxes, row.box ? std::vector<std::string>{row.box} : std::vector<std::string>{});
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

// Each piece of the answer is one entry; an answer after the window stays in the buffer.
TEST(SendUCPSMS, AnswerInPiecesGivesOneEntryEachAndALateOneWaits)
{
    for (const bool late : {false, true}) {
        SCOPED_TRACE(late);
        RigOptions o;
        if (late)
            o.ucp.replyDelay = 1500ms;
        else
            o.ucp.replyPieces = 2;
        SendRig r(o);
        r.addMessage("m.dat", File);
        SendUCPSMS(r.gw, "", "", "m.dat");
        const auto events = r.events();
        ASSERT_GE(events.size(), 2u);
        const std::vector<std::string> responses(events.begin() + 2, events.end());
        const std::size_t half = Answer.size() / 2;
        using Texts = std::vector<std::string>;
        const Texts expected =
            late ? Texts{"Response to message recieved:" + ConnectText}
                 : Texts{"Response to message recieved:" + ConnectText + Answer.substr(0, half),
                         "Response to message recieved:" + Answer.substr(half)};
        EXPECT_EQ(responses, expected);
        if (late) {
            r.t.world.pump();
            EXPECT_EQ(r.gw.state.ReceiveBuffer, Answer);
        }
    }
}

} // namespace
} // namespace qm::test
