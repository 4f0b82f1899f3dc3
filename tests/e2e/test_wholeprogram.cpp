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

// The other operation types' frames are pinned byte for byte where they are built.
TEST_F(WholeProgram, UcpDeliversTheOutboxWithTheConfiguredOperationTypeAndCode)
{
    ProgramFolder f("UCP", "51", "secret");
    DeliverOutbox(f, "--centre ucp", R"("0611111111","Disk C: 95% full")");
    EXPECT_EQ(f.accepted(), 1) << f.record();
    EXPECT_THAT(f.log(), HasSubstr("Message Sent: <STX>01/00098/O/51/0611111111//secret//////////"
                                   "///////3/4469736B20433A203935252066756C6C/////////////48<ETX>"
                                   "/False\r\n"));
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
