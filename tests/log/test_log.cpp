#include "fakes.h"
#include "log/writelog.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qm::test
{
namespace
{

const std::string Stamp = "06/12/2026 12:00:00: ";

TEST(WriteLog, EachTargetGetsTheByteExactEntry)
{
    // Only the status line target shows the entry; a target out of range writes nowhere.
    // clang-format off
    const struct { const char *name; LogTarget target; bool master, events; const char *status; }
        rows[] = {{"status line", LogTarget::StatusLine, false, false, "m\x01\xe9"},
        {"Master.Log", LogTarget::MasterLog, true, false, "Status"},
        {"Events.Log", LogTarget::EventsLog, false, true, "Status"},
        {"both logs", LogTarget::BothLogs, true, true, "Status"},
        {"past the last target", LogTarget(4), false, false, "Status"},
        {"negative target", LogTarget(-1), false, false, "Status"}};
    // clang-format on
    const std::string entry = Stamp + "m\x01\xe9/False\r\n";
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        TestGateway t;
        WriteLog(t.gw, row.target, "m\x01\xe9");
        EXPECT_EQ(t.readFile("Master.Log"), row.master ? entry : "");
        EXPECT_EQ(t.readFile("Events.Log"), row.events ? entry : "");
        EXPECT_EQ(t.status.text(), row.status);
    }
    TestGateway t;
    WriteLog(t.gw, LogTarget::MasterLog, "", true);
    EXPECT_EQ(t.readFile("Master.Log"), Stamp + "/True\r\n");
}

// A log that cannot be written costs one box per entry, never the other log's copy.
TEST(WriteLog, AnUnwritableLogShowsOneBoxAndKeepsTheOtherEntry)
{
    // clang-format off
    const struct { const char *blocked, *written; } rows[] = {
        {"Master.Log", "Events.Log"}, {"Events.Log", "Master.Log"}};
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.blocked);
        TestGateway t;
        std::filesystem::create_directory(t.dir / row.blocked);
        WriteLog(t.gw, LogTarget::BothLogs, "x");
        EXPECT_EQ(t.readFile(row.written), Stamp + "x/False\r\n");
        ASSERT_EQ(t.notifier.notices.size(), 1u);
        EXPECT_EQ(t.notifier.notices[0].text, "Unable to Create Log File\rPlease Contact Vendor");
    }
}

} // namespace
} // namespace qm::test
