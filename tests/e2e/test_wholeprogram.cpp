// The real program doing its job: messages in the outbox, Start pressed on the
// console, the simulated centre's record and Master.Log checked afterwards.

#include "realprogram.h"

namespace qm::e2e
{
namespace
{

// Presses Start, waits for the outbox to empty, presses Stop.
void DeliverOutbox(const Display &display, ProgramFolder &f, const std::string &console)
{
    ASSERT_TRUE(display.click(console, StartStopX, ButtonsY));
    EXPECT_TRUE(WaitUntil([&] { return f.outboxEmpty(); }, 30s)) << f.log();
    ASSERT_TRUE(display.click(console, StartStopX, ButtonsY));
}

TEST(WholeProgram, UcpEachOperationTypeDeliversTheOutbox)
{
    Display display;
    if (display.name.empty())
        GTEST_SKIP() << "needs Xvfb and xdotool";
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
        ProgramFolder f("ucp");
        f.configure("UCP", row.opType, "secret");
        f.message("a.dat", "\"0611111111\",\"Disk C: 95% full\"\r\n");
        f.startSimulator({"--centre", "ucp"});
        const std::string console = f.startProgram(display);
        ASSERT_FALSE(console.empty());
        DeliverOutbox(display, f, console);
        const std::string record = f.record();
        EXPECT_EQ(Count(record, "\"kind\":\"accepted\""), 1) << record;
        EXPECT_NE(record.find(std::string("\"ot\":\"") + row.opType +
                              "\",\"protocol\":\"UCP\",\"recipient\":\"0611111111\","
                              "\"text\":\"Disk C: 95% full\""),
                  std::string::npos)
            << record;
        EXPECT_NE(f.log().find(std::string("Message Sent: ") + row.frame + "/False\r\n"),
                  std::string::npos)
            << f.log();
    }
}

TEST(WholeProgram, TapDeliversTheOutboxAndTheManualTestMessage)
{
    Display display;
    if (display.name.empty())
        GTEST_SKIP() << "needs Xvfb and xdotool";
    ProgramFolder f("tap");
    f.configure("TAP", "01", "pw");
    f.message("a.dat", "\"0611111111\",\"UPS on battery\"\r\n");
    f.message("b.dat", "\"0622222222\",\"Backup failed\"\r\n");
    f.startSimulator({"--centre", "tap", "--tap-password", "pw"});
    const std::string console = f.startProgram(display);
    ASSERT_FALSE(console.empty());
    DeliverOutbox(display, f, console);
    EXPECT_EQ(Count(f.record(), "\"kind\":\"accepted\""), 2) << f.record();
    EXPECT_NE(
        f.log().find("Message Sent: <STX>0611111111<CR>UPS on battery<CR><ETX>71=<CR>/False\r\n"),
        std::string::npos)
        << f.log();

    // Send Manual SMS: the number as typed, the fixed text.
    ASSERT_TRUE(display.click(console, ManualSMSX, ButtonsY));
    const std::string dialog = display.window("Send Test SMS");
    ASSERT_FALSE(dialog.empty());
    ASSERT_TRUE(display.xdotool("mousemove --window " + dialog + " 5 5 sleep 0.2 type 0633333333"));
    ASSERT_TRUE(display.xdotool("key Return"));
    EXPECT_TRUE(WaitForText(f.dir / "sim.jsonl", "\"text\":\"Korvane Test Message\"", 20s))
        << f.record();
    EXPECT_EQ(Count(f.record(), "\"kind\":\"accepted\""), 3) << f.record();
    EXPECT_NE(f.record().find("\"recipient\":\"0633333333\""), std::string::npos);
}

} // namespace
} // namespace qm::e2e
