#include "fakes.h"
#include "log/controlchars.h"
#include "log/writelog.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qm::test
{
namespace
{

const std::string Stamp = "06/12/2026 12:00:00";

TEST(WriteLog, EntryLayoutIsByteExact)
{
    TestGateway t;
    WriteLog(t.gw, LogTarget::MasterLog, "Timed out. No response from Modem");
    WriteLog(t.gw, LogTarget::MasterLog, "");
    WriteLog(t.gw, LogTarget::MasterLog, "Err-0003:Dialing Error\rError:5-Denied", true);
    EXPECT_EQ(t.readFile("Master.Log"), Stamp + ": Timed out. No response from Modem/False\r\n" +
                                            Stamp + ": /False\r\n" + Stamp +
                                            ": Err-0003:Dialing Error\rError:5-Denied/True\r\n");
    EXPECT_FALSE(std::filesystem::exists(t.dir / "Events.Log"));
}

TEST(WriteLog, BothLogsAreByteIdenticalAndStampedOnce)
{
    TestGateway t;
    t.world.after(std::chrono::milliseconds(1500), [] {});
    t.world.pump();
    WriteLog(t.gw, LogTarget::BothLogs, std::string("bytes \x01\xe9\xff", 9));
    EXPECT_EQ(t.readFile("Master.Log"), t.readFile("Events.Log"));
    EXPECT_EQ(t.readFile("Master.Log"), "06/12/2026 12:00:01: bytes \x01\xe9\xff/False\r\n");
}

TEST(WriteLog, TargetsSelectDestination)
{
    struct Row {
        int target;
        bool master, events;
        std::string status;
    };
    const Row rows[] = {
        {LogTarget::StatusLine, false, false, "hello"},
        {LogTarget::MasterLog, true, false, "Status"},
        {LogTarget::EventsLog, false, true, "Status"},
        {LogTarget::BothLogs, true, true, "Status"},
        {4, false, false, "Status"},
        {-1, false, false, "Status"},
    };
    for (const Row &r : rows) {
        TestGateway t;
        WriteLog(t.gw, r.target, "hello");
        SCOPED_TRACE(r.target);
        EXPECT_EQ(std::filesystem::exists(t.dir / "Master.Log"), r.master);
        EXPECT_EQ(std::filesystem::exists(t.dir / "Events.Log"), r.events);
        EXPECT_EQ(t.status.text(), r.status);
        EXPECT_TRUE(t.notifier.notices.empty());
    }
}

TEST(WriteLog, UnwritableFolderShowsBoxOncePerCallAndCarriesOn)
{
    TestGateway t;
    t.gw.state.AppPath = (t.dir / "missing").string() + "/";
    WriteLog(t.gw, LogTarget::MasterLog, "a");
    WriteLog(t.gw, LogTarget::BothLogs, "b");
    ASSERT_EQ(t.notifier.notices.size(), 2u);
    EXPECT_EQ(t.notifier.notices[0].title, "Can't Create File");
    EXPECT_EQ(t.notifier.notices[0].text, "Unable to Create Log File\rPlease Contact Vendor");
}

TEST(WriteLog, EventsFailureKeepsMasterEntry)
{
    TestGateway t;
    std::filesystem::create_directory(t.dir / "Events.Log"); // a folder cannot be appended to
    WriteLog(t.gw, LogTarget::BothLogs, "x");
    EXPECT_EQ(t.logEntries("Master.Log"), std::vector<std::string>{Stamp + ": x/False"});
    EXPECT_EQ(t.notifier.notices.size(), 1u);
}

TEST(ShowControlChars, RendersTheElevenTagsOnly)
{
    struct Row {
        std::string in, out;
    };
    const Row rows[] = {
        {"\x02"
         "123\r\x03",
         "<STX>123<CR><ETX>"},
        {"plain text", "plain text"},
        {"", ""},
        {std::string("\x05\x00", 2), std::string("\x05\x00", 2)},
        {"\x06\x1b\x1e\x04\x15\n\x13\x11", "<ACK><ESC><RS><EOT><NAK><LF><XOFF><XON>"},
        {"\x1b[p\r", "<ESC>[p<CR>"},
        {"\xe9<STX>", "\xe9<STX>"},
    };
    for (const Row &r : rows)
        EXPECT_EQ(ShowControlChars(r.in), r.out);
}

} // namespace
} // namespace qm::test
