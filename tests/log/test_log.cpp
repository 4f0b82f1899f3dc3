#include "fakes.h"
#include "log/writelog.h"
#include "pure/controlchars.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qm::test
{
namespace
{

using namespace std::string_literals;

const std::string Stamp = "06/12/2026 12:00:00: ";

TEST(WriteLog, EachTargetGetsTheByteExactEntry)
{
    // Target, then whether Master.Log and Events.Log get it; only the status line target shows it.
    const std::tuple<LogTarget, bool, bool> rows[] = {
        {LogTarget::StatusLine, false, false}, {LogTarget::MasterLog, true, false},
        {LogTarget::EventsLog, false, true},   {LogTarget::BothLogs, true, true},
        {LogTarget(4), false, false},          {LogTarget(-1), false, false}};
    const std::string entry = Stamp + "m\x01\xe9/False\r\n";
    for (const auto &[target, master, events] : rows) {
        SCOPED_TRACE(int(target));
        TestGateway t;
        WriteLog(t.gw, target, "m\x01\xe9");
        EXPECT_EQ(t.readFile("Master.Log"), master ? entry : "");
        EXPECT_EQ(t.readFile("Events.Log"), events ? entry : "");
        EXPECT_EQ(t.status.text(), target == LogTarget::StatusLine ? "m\x01\xe9" : "Status");
    }
    TestGateway t;
    WriteLog(t.gw, LogTarget::MasterLog, "", true);
    EXPECT_EQ(t.readFile("Master.Log"), Stamp + "/True\r\n");
}

// A log that cannot be written costs one box per entry, never the other log's copy.
TEST(WriteLog, AnUnwritableLogShowsOneBoxAndKeepsTheOtherEntry)
{
    for (const std::string blocked : {"Master.Log", "Events.Log"}) {
        SCOPED_TRACE(blocked);
        TestGateway t;
        std::filesystem::create_directory(t.dir / blocked);
        WriteLog(t.gw, LogTarget::BothLogs, "x");
        EXPECT_EQ(t.readFile(blocked == "Master.Log" ? "Events.Log" : "Master.Log"),
                  Stamp + "x/False\r\n");
        ASSERT_EQ(t.notifier.notices.size(), 1u);
        EXPECT_EQ(t.notifier.notices[0].text, "Unable to Create Log File\rPlease Contact Vendor");
    }
}

TEST(ShowControlChars, TagsTheElevenAndNothingElse)
{
    EXPECT_EQ(ShowControlChars("\x02\x03\r\n\x06\x15\x1b\x1e\x04\x13\x11\x05\x00\xe9<STX>"s),
              "<STX><ETX><CR><LF><ACK><NAK><ESC><RS><EOT><XOFF><XON>\x05\x00\xe9<STX>"s);
}

} // namespace
} // namespace qm::test
