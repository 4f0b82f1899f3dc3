#include "fakes.h"
#include "log/writelog.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

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

// A log that cannot be written costs one box per entry, never the other log's copy; the entry
// counts as kept while one log holds it.
TEST(WriteLog, AnUnwritableLogShowsOneBoxAndKeepsTheOtherEntry)
{
    // clang-format off
    const struct { const char *name; std::vector<const char *> blocked; LogTarget target;
        const char *written; bool kept; } rows[] = {
        {"Master.Log blocked", {"Master.Log"}, LogTarget::BothLogs, "Events.Log", true},
        {"Events.Log blocked", {"Events.Log"}, LogTarget::BothLogs, "Master.Log", true},
        {"both blocked", {"Master.Log", "Events.Log"}, LogTarget::BothLogs, nullptr, false},
        {"its only log blocked", {"Master.Log"}, LogTarget::MasterLog, nullptr, false}};
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        TestGateway t;
        for (const char *name : row.blocked)
            std::filesystem::create_directory(t.dir / name);
        EXPECT_EQ(WriteLog(t.gw, row.target, "x"), row.kept);
        if (row.written) {
            EXPECT_EQ(t.readFile(row.written), Stamp + "x/False\r\n");
        }
        ASSERT_EQ(t.notifier.notices.size(), 1u);
        EXPECT_EQ(t.notifier.notices[0].text, "Unable to Create Log File\rPlease Contact Vendor");
    }
}

#ifndef _WIN32
// A full disk (here: a file size limit, which makes the write short as a full disk does) must not
// leave half an entry for the next one to be joined onto.
TEST(WriteLog, AnEntryIsWrittenWholeOrNotAtAll)
{
    TestGateway t;
    WriteLog(t.gw, LogTarget::MasterLog, "first");
    const std::string first = t.readFile("Master.Log");
    rlimit saved = {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = first.size() + 10; // room for a part of the next entry only
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool kept = WriteLog(t.gw, LogTarget::MasterLog, "second, longer than the room left");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(kept);
    EXPECT_EQ(t.readFile("Master.Log"), first);
    EXPECT_EQ(t.notifier.notices.size(), 1u);
    WriteLog(t.gw, LogTarget::MasterLog, "third");
    EXPECT_EQ(t.readFile("Master.Log"), first + Stamp + "third/False\r\n");
}
#endif

} // namespace
} // namespace qm::test
