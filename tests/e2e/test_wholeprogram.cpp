// The real program doing its job: messages in the outbox, Start pressed on the
// console, the simulated centre's record and Master.Log checked afterwards.

#include "realprogram.h"

namespace qm::e2e
{
namespace
{

using WholeProgram = RealProgram;

// Delivers the outbox and presses Stop; returns the console window.
std::string DeliverOutbox(ProgramFolder &f, const std::string &options, const char *message)
{
    const std::string console = RealProgram::startSending(f, options, message);
    EXPECT_TRUE(WaitUntil([&] { return f.outboxEmpty(); }, 30s)) << f.log();
    EXPECT_TRUE(RealProgram::press(console, RealProgram::StartStop));
    return console;
}

TEST_F(WholeProgram, UcpEachOperationTypeDeliversTheOutbox)
{
    const struct {
        const char *opType, *frame;
    } rows[] = {
        {"01", "<STX>01/00064/O/01/0611111111///3/4469736B20433A203935252066756C6C/92<ETX>"},
        {"03", "<STX>01/00079/O/03/0611111111//secret/0//////////4469736B20433A203935252066756C6C/"
               "C4<ETX>"},
        {"30", "<STX>01/00069/O/30/0611111111///1//////4469736B20433A203935252066756C6C/82<ETX>"},
        {"51", "<STX>01/00098/O/51/0611111111//secret/////////////////3/"
               "4469736B20433A203935252066756C6C/////////////48<ETX>"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.opType);
        ProgramFolder f("UCP", row.opType, "secret");
        DeliverOutbox(f, "--centre ucp", R"("0611111111","Disk C: 95% full")");
        EXPECT_EQ(f.accepted(), 1) << f.record();
        EXPECT_THAT(f.log(), HasSubstr(std::string("Message Sent: ") + row.frame + "/False\r\n"));
    }
}

TEST_F(WholeProgram, TapDeliversTheOutboxAndTheManualTestMessage)
{
    ProgramFolder f("TAP", "01", "pw");
    f.message("b.dat", "\"0622222222\",\"Backup failed\"\r\n");
    const std::string console =
        DeliverOutbox(f, "--centre tap --tap-password pw", R"("0611111111","UPS on battery")");
    EXPECT_EQ(f.accepted(), 2) << f.record();
    EXPECT_THAT(f.log(), HasSubstr("Message Sent: <STX>0611111111<CR>UPS on battery<CR><ETX>71=<CR>"
                                   "/False\r\n"));

    // Send Manual SMS: the number as typed, the fixed text.
    ASSERT_TRUE(press(console, ManualSMS));
    const std::string dialog = window("Send Test SMS");
    ASSERT_TRUE(xdotool("mousemove --window " + dialog + " 5 5 sleep 0.2 type 0633333333"));
    ASSERT_TRUE(xdotool("key Return"));
    EXPECT_TRUE(f.waitForRecord(
        R"("kind":"accepted","protocol":"TAP","recipient":"0633333333","text":"Korvane Test Message")",
        20s))
        << f.record();
}

} // namespace
} // namespace qm::e2e
