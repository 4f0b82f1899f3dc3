// The real program killed (SIGKILL) in the middle of its work and started
// again: nothing is lost and nothing is left half-written.

#include "realprogram.h"

#include <cctype>
#include <random>

namespace qm::e2e
{
namespace
{

// Every entry of a log is whole: the file ends where an entry ends.
void ExpectWholeEntries(const std::string &log)
{
    ASSERT_GE(log.size(), 8u);
    EXPECT_EQ(log.substr(log.size() - 8), "/False\r\n");
}

TEST(Kills, MidSendTheMessageStaysOrWasDeliveredAndTheRestartSendsIt)
{
    Display display;
    if (display.name.empty())
        GTEST_SKIP() << "needs Xvfb and xdotool";
    // Killed while dialling (the centre has nothing yet), and in the response
    // window (the centre accepted it, the file was not yet deleted).
    for (const std::string cut : {"\"kind\":\"dial\"", "\"kind\":\"accepted\""}) {
        SCOPED_TRACE(cut);
        ProgramFolder f("kill-send");
        f.configure("UCP", "01");
        f.message("a.dat", "\"0611111111\",\"disk full\"\r\n");
        f.startSimulator({"--centre", "ucp", "--reply-delay", "300"});
        std::string console = f.startProgram(display);
        ASSERT_TRUE(display.click(console, StartStopX, ButtonsY));
        ASSERT_TRUE(WaitForText(f.dir / "sim.jsonl", cut, 10s));
        ::kill(f.app, SIGKILL);
        ASSERT_EQ(WaitEnd(f.app, 3s), 128 + SIGKILL);
        f.app = -1;
        ExpectWholeEntries(f.log());
        ExpectWholeEntries(ReadAll(f.dir / "Events.Log"));
        EXPECT_FALSE(f.outboxEmpty()) << "the file goes only after the exchange";
        const int before = Count(f.record(), "\"kind\":\"accepted\"");

        console = f.startProgram(display);
        ASSERT_TRUE(WaitForText(f.dir / "sim.jsonl", "\"reason\":\"port closed\"", 5s));
        ASSERT_TRUE(display.click(console, StartStopX, ButtonsY));
        EXPECT_TRUE(WaitUntil([&] { return f.outboxEmpty(); }, 30s)) << f.log();
        EXPECT_EQ(Count(f.record(), "\"kind\":\"accepted\""), before + 1) << f.record();
    }
}

TEST(Kills, MidSaveTheSettingsFileIsTheOldOrTheNewOne)
{
    Display display;
    if (display.name.empty())
        GTEST_SKIP() << "needs Xvfb and xdotool";
    ProgramFolder f("kill-save");
    f.configure("UCP", "01");
    const std::string typed = "123456789012345678901234567890";
    // The whole file as configure() wrote it, the number grown by `digits`.
    const auto whole = [&](const std::string &digits) {
        std::string text = f.configText("UCP", "01", "");
        text.replace(text.find("0612345678") + 10, 0, digits);
        return text;
    };
    std::mt19937 random(7);
    std::size_t longest = 0;
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        const std::string console = f.startProgram(display);
        ASSERT_FALSE(console.empty());
        // Every keystroke in the SMS Centre Number saves the whole file.
        ASSERT_TRUE(display.xdotool("mousemove --window " + console +
                                    " 460 79 click 1 key End type --delay 5 " + typed + " &"));
        std::this_thread::sleep_for(std::chrono::milliseconds(100 + random() % 150));
        ::kill(f.app, SIGKILL);
        WaitEnd(f.app, 3s);
        f.app = -1;
        std::this_thread::sleep_for(300ms); // let the orphaned xdotool finish typing
        const std::string file = ReadAll(f.dir / "smsconf.conf");
        const auto at = file.find("0612345678") + 10;
        std::size_t digits = 0;
        while (at + digits < file.size() &&
               std::isdigit(static_cast<unsigned char>(file[at + digits])))
            ++digits;
        ASSERT_EQ(file, whole(file.substr(at, digits)));
        EXPECT_GE(digits, longest) << "a save went backwards";
        longest = digits;
        // Whatever the kill left behind, the next start reads the file as it is.
        EXPECT_EQ(std::count_if(fs::directory_iterator(f.dir), {},
                                [](const fs::directory_entry &e) {
                                    return e.path().filename().string().starts_with(
                                        "smsconf.conf.");
                                }),
                  0);
    }
    EXPECT_GT(longest, 0u) << "no keystroke was saved before the kills";
}

} // namespace
} // namespace qm::e2e
