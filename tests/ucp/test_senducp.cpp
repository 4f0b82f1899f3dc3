// Sending one message by UCP through the simulated modem and centre.

#include "sendrig.h"
#include "ucp/senducp.h"

#include <gtest/gtest.h>

#include <functional>
#include <system_error>

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

std::string Answer(const std::string &ot)
{
    return sim::BuildUcpAnswer("01", ot, "", "0123456:061206120000");
}

// A recipient filter that does something to the gateway while it runs,
// between dialling and building the frame.
RecipientFilterFactory During(std::function<void()> act)
{
    return [act] {
        act();
        return MakePassThroughRecipientFilter();
    };
}

TEST(SendUCPSMS, EachOutcomeLogsAndDisposesAsTabled)
{
    struct Row {
        const char *name;
        std::function<void(RigOptions &)> options;
        std::function<void(SendRig &)> setup;
        std::vector<std::string> events; // Events.Log texts, exact
        bool fileKept;
        const char *box = nullptr; // the text of the one box shown
    };
    const std::vector<Row> rows = {
        {"frame written",
         {},
         {},
         {"Message encoded as : " + Frame, "Message Sent: " + Frame,
          "Response to message recieved:" + ConnectText + Answer("01")},
         false},
        {"negative answer is only logged",
         [](RigOptions &o) { o.ucp.mode = sim::UcpCentreOptions::Mode::Reject; },
         {},
         {"Message encoded as : " + Frame, "Message Sent: " + Frame,
          "Response to message recieved:" + ConnectText +
              sim::BuildUcpAnswer("01", "01", "04", "")},
         false},
        {"dialling failed",
         [](RigOptions &o) { o.modem.result = sim::DialResult::Busy; },
         {},
         {"Could not dial SMS Center. Please Check SMS Center number and modem Settings and try "
          "again"},
         true,
         "The number is busy.  Please try again later."},
        {"operation type not supported",
         [](RigOptions &o) { o.operationType = "1"; },
         {},
         {"Err-0008:Operation not supported in this version" + NumberAndMessage},
         true,
         "Err-0008:Operation not supported in this version"},
        {"connection gone after building",
         {},
         [](SendRig &r) { r.gw.recipientFilter = During([&r] { r.gw.state.Connected = false; }); },
         {"Message encoded as : " + Frame, "Message could not be sent:" + NumberAndMessage},
         false},
        {"write failed",
         {},
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
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        RigOptions o;
        if (row.options)
            row.options(o);
        SendRig r(o);
        if (row.setup)
            row.setup(r);
        r.addMessage("m.dat", File);
        SendUCPSMS(r.gw, "", "", "m.dat");

        EXPECT_EQ(r.events(), row.events);
        EXPECT_EQ(r.outbox(),
                  row.fileKept ? std::vector<std::string>{"m.dat"} : std::vector<std::string>{});
        const bool written = row.events.size() > 1 && row.events[1].rfind("Message Sent", 0) == 0;
        EXPECT_EQ(r.t.status.text() == "Message sent", written);
        std::vector<std::string> boxes;
        for (const Notice &n : r.t.notifier.notices)
            boxes.push_back(n.text);
        EXPECT_EQ(boxes, row.box ? std::vector<std::string>{row.box} : std::vector<std::string>{});
        // The window leaves nothing behind and sec1 off.
        EXPECT_TRUE(!written || r.gw.state.ReceiveBuffer.empty());
        EXPECT_FALSE(r.t.sec1.isEnabled());
    }
}

TEST(SendUCPSMS, PortClosedCodeFollowsTheOperationType)
{
    for (const auto &[ot, code] : std::vector<std::pair<std::string, std::string>>{
             {"01", "0004"}, {"03", "0005"}, {"30", "0006"}, {"51", "0007"}}) {
        SCOPED_TRACE(ot);
        SendRig r(Ucp(ot));
        r.gw.recipientFilter = During([&r] { r.port.close(); });
        r.addMessage("m.dat", File);
        SendUCPSMS(r.gw, "", "", "m.dat");
        const auto events = r.events();
        ASSERT_EQ(events.size(), 2u);
        EXPECT_EQ(events[1], "Err-" + code + ":Port closed Prematurely" + NumberAndMessage);
        EXPECT_TRUE(r.outbox().empty());
    }
}

TEST(SendUCPSMS, EveryOperationTypeIsDeliveredWithThePreparedRecipient)
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
        std::string given;
        // The filter sees the recipient as read; blanks and CR LF go afterwards.
        struct AddNine final : RecipientFilter {
            explicit AddNine(std::string &seen) : seen_(seen) {}
            void SetRecipient(const std::string &r) override { seen_ = value_ = r; }
            std::string Value() const override { return value_ + " 9"; }
            std::string &seen_;
            std::string value_;
        };
        r.gw.recipientFilter = [&given] { return std::make_unique<AddNine>(given); };
        r.addMessage("m.dat", "\"01 23 45\r\n\",\"Disk C: 95% full\"\r\n");
        SendUCPSMS(r.gw, "", "", "m.dat");

        EXPECT_EQ(given, "01 23 45\r\n");
        EXPECT_EQ(r.record.messages("accepted"), (std::vector<std::pair<std::string, std::string>>{
                                                     {"0123459", "Disk C: 95% full"}}));
        EXPECT_TRUE(r.outbox().empty());
    }
}

TEST(SendUCPSMS, TestModeSendsTestMessageAndDeletesNothing)
{
    SendRig r;
    r.gw.state.TestMode = true;
    r.addMessage("m.dat", File);
    SendUCPSMS(r.gw, "0612 345", "", "");
    EXPECT_NE(r.port.written.find("/0612 345///3/54657374204D657373616765/"), std::string::npos);
    EXPECT_EQ(r.outbox(), std::vector<std::string>{"m.dat"});
    EXPECT_EQ(r.t.status.text(), "Message sent");
}

TEST(SendUCPSMS, AnswerInPiecesGivesOneEntryEachAndALateOneWaits)
{
    RigOptions twoPieces;
    twoPieces.ucp.replyPieces = 2;
    RigOptions late;
    late.ucp.replyDelay = 1500ms;
    for (const RigOptions &o : {twoPieces, late}) {
        SendRig r(o);
        r.addMessage("m.dat", File);
        SendUCPSMS(r.gw, "", "", "m.dat");
        const std::string answer = Answer("01");
        const auto events = r.events();
        ASSERT_GE(events.size(), 3u);
        std::vector<std::string> responses(events.begin() + 2, events.end());
        if (o.ucp.replyPieces == 2) {
            const std::size_t half = answer.size() / 2;
            EXPECT_EQ(responses,
                      (std::vector<std::string>{
                          "Response to message recieved:" + ConnectText + answer.substr(0, half),
                          "Response to message recieved:" + answer.substr(half)}));
        } else {
            // Only the dial's text was seen in the window; the answer stays
            // for whoever reads next.
            EXPECT_EQ(responses,
                      std::vector<std::string>{"Response to message recieved:" + ConnectText});
            r.t.world.pump();
            EXPECT_EQ(r.gw.state.ReceiveBuffer, answer);
        }
    }
}

} // namespace
} // namespace qm::test
