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

// Only the status line target shows the entry; a target out of range writes nowhere. A log that
// cannot be written costs one box per entry, never the other log's copy; the entry counts as kept
// while one log holds it.
TEST(WriteLog, EachTargetGetsTheByteExactEntryAndAnUnwritableLogOneBox)
{
    const std::string entry = Stamp + "m\x01\xe9/False\r\n";
    // blocked: a folder in the log's place.
    // clang-format off
    const struct { const char *name; LogTarget target; std::vector<const char *> blocked;
        bool master, events, kept; const char *status; } rows[] = {
        {"status line", LogTarget::StatusLine, {}, false, false, true, "m\x01\xe9"},
        {"Master.Log", LogTarget::MasterLog, {}, true, false, true, "Status"},
        {"Events.Log", LogTarget::EventsLog, {}, false, true, true, "Status"},
        {"both logs", LogTarget::BothLogs, {}, true, true, true, "Status"},
        {"past the last target", LogTarget(4), {}, false, false, false, "Status"},
        {"negative target", LogTarget(-1), {}, false, false, false, "Status"},
        {"Master.Log blocked", LogTarget::BothLogs, {"Master.Log"}, false, true, true, "Status"},
        {"Events.Log blocked", LogTarget::BothLogs, {"Events.Log"}, true, false, true, "Status"},
        {"both blocked", LogTarget::BothLogs, {"Master.Log", "Events.Log"}, false, false, false,
         "Status"},
        {"its only log blocked", LogTarget::MasterLog, {"Master.Log"}, false, false, false,
         "Status"}};
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        TestGateway t;
        for (const char *name : row.blocked)
            std::filesystem::create_directory(t.dir / name);
        EXPECT_EQ(WriteLog(t.gw, row.target, "m\x01\xe9"), row.kept);
        EXPECT_EQ(t.readFile("Master.Log"), row.master ? entry : "");
        EXPECT_EQ(t.readFile("Events.Log"), row.events ? entry : "");
        EXPECT_EQ(t.status.text(), row.status);
        ASSERT_EQ(t.notifier.notices.size(), row.blocked.empty() ? 0u : 1u);
        for (const Notice &n : t.notifier.notices)
            EXPECT_EQ(n.text, "Unable to Create Log File\rPlease Contact Vendor");
    }
    TestGateway t;
    WriteLog(t.gw, LogTarget::MasterLog, "", true);
    EXPECT_EQ(t.readFile("Master.Log"), Stamp + "/True\r\n");
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
