// Exit from the console's menu and kill -TERM both end the real program within
// a second while a message exchange is under way, with the port closed.

#include "realprogram.h"

namespace qm::e2e
{
namespace
{

using ExitUnderXvfb = RealProgram;

TEST_F(ExitUnderXvfb, EndsWithinASecondInsideAnExchangeWithThePortClosed)
{
    for (const std::string way : {"menu", "sigterm"}) {
        SCOPED_TRACE(way);
        ProgramFolder f("UCP", "01");
        startSending(f, "--centre ucp");
        // The frame went out: the gateway logs the centre's answers for a second.
        ASSERT_TRUE(f.waitForRecord("\"kind\":\"received\""));
        const auto asked = Clock::now();
        if (way == "menu")
            ASSERT_TRUE(xdotool("mousemove 600 300 click 3 sleep 0.3 key x")); // E&xit
        else
            ::kill(f.app, SIGTERM);
        EXPECT_EQ(WaitEnd(f.app, 3s), 0);
        EXPECT_LT(Clock::now() - asked, way == "menu" ? 1300ms : 1000ms);
        f.app = -1;
        EXPECT_TRUE(f.waitForRecord("\"reason\":\"port closed\"", 2s));
        // Nothing half-written: the log ends where an entry ends.
        EXPECT_TRUE(f.log().ends_with("/False\r\n")) << f.log();
    }
}

} // namespace
} // namespace qm::e2e
