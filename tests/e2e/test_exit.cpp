// Exit from the console's menu and kill -TERM both end the real program within
// a second while a message exchange is under way, with the port closed.

#include "realprogram.h"

namespace qm::e2e
{
namespace
{

TEST(ExitUnderXvfb, EndsWithinASecondInsideAnExchangeWithThePortClosed)
{
    for (const std::string way : {"menu", "sigterm"}) {
        SCOPED_TRACE(way);
        Display display;
        if (display.name.empty())
            GTEST_SKIP() << "needs Xvfb and xdotool";
        ProgramFolder f("exit");
        f.configure("UCP", "01");
        f.message("a.dat", "\"0611\",\"disk full\"\r\n");
        f.startSimulator({"--centre", "ucp"});
        const std::string console = f.startProgram(display);
        ASSERT_FALSE(console.empty());
        ASSERT_TRUE(display.click(console, StartStopX, ButtonsY));
        // The frame went out: the gateway logs the centre's answers for a second.
        ASSERT_TRUE(WaitForText(f.dir / "sim.jsonl", "\"kind\":\"received\"", 10s));
        const auto asked = Clock::now();
        if (way == "menu")
            ASSERT_TRUE(display.xdotool("mousemove 600 300 click 3 sleep 0.3 key x")); // E&xit
        else
            ::kill(f.app, SIGTERM);
        const int status = WaitEnd(f.app, 3s);
        const auto took = Clock::now() - asked;
        f.app = -1;
        EXPECT_EQ(status, 0);
        EXPECT_LT(took, way == "menu" ? 1300ms : 1000ms);
        EXPECT_TRUE(WaitForText(f.dir / "sim.jsonl", "\"reason\":\"port closed\"", 2s));
        // Nothing half-written: every log entry is complete.
        const std::string log = f.log();
        ASSERT_GE(log.size(), 8u);
        EXPECT_EQ(log.substr(log.size() - 8), "/False\r\n");
    }
}

} // namespace
} // namespace qm::e2e
