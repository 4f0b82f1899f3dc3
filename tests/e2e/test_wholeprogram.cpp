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

// The other operation types' frames are pinned byte for byte where they are built. LEN and
// checksum of the frame below worked out by hand from the checksum rule.
TEST_F(WholeProgram, UcpDeliversTheOutboxWithTheConfiguredOperationTypeAndCode)
{
    ProgramFolder f("UCP", "51", "secret");
    DeliverOutbox(f, "--centre ucp", R"("0611111111","Disk C: 95% full")");
    EXPECT_EQ(f.accepted(), 1) << f.record();
    EXPECT_THAT(f.log(), HasSubstr("Message Sent: <STX>01/00098/O/51/0611111111//secret//////////"
                                   "///////3/4469736B20433A203935252066756C6C/////////////48<ETX>"
                                   "/False\r\n"));
}

// The wall clock set back 90 s (libfaketime moves the program's wall clock alone, from a file it
// rereads at every call) while two messages wait: the second goes out at the usual pace, and the
// log's time stamps show the step.
TEST_F(WholeProgram, AWallClockSetBackHoldsNoMessage)
{
    const fs::path lib = "/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1";
    if (!fs::exists(lib))
        GTEST_SKIP() << "needs libfaketime";
#ifdef QM_SANITIZED
    GTEST_SKIP() << "libfaketime and the sanitizers intercept the same clock calls";
#endif
    ProgramFolder f("UCP", "01");
    f.message("b.dat", "\"0622222222\",\"second\"\r\n");
    const fs::path offset = f.dir / "faketime";
    std::ofstream(offset) << "+0\n";
    const std::string console =
        startSending(f, "--centre ucp", R"("0611111111","first")",
                     "LD_PRELOAD=" + lib.string() + " FAKETIME_TIMESTAMP_FILE=" + offset.string() +
                         " FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1 ");
    ASSERT_TRUE(WaitUntil([&] { return f.accepted() == 1; }, 30s)) << f.log();
    std::ofstream(offset) << "-90\n";
    // One message takes a few seconds; held for the step it would take 90.
    EXPECT_TRUE(WaitUntil([&] { return f.outboxEmpty(); }, 20s)) << f.log();
    EXPECT_EQ(f.accepted(), 2) << f.record();
    EXPECT_TRUE(press(console, StartStop));
    // The first and the last entry's time of day: the last is earlier.
    const std::string log = f.log();
    const std::regex time(R"((\d+):(\d\d):(\d\d))");
    std::vector<int> seconds;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), time); it != std::sregex_iterator();
         ++it)
        seconds.push_back(std::stoi((*it)[1]) * 3600 + std::stoi((*it)[2]) * 60 +
                          std::stoi((*it)[3]));
    ASSERT_GE(seconds.size(), 2u);
    const int moved = (seconds.back() - seconds.front() + 86400) % 86400;
    EXPECT_GT(moved, 86400 - 90) << log;
}

TEST_F(WholeProgram, TapDeliversTheOutboxAndTheManualTestMessage)
{
    ProgramFolder f("TAP", "01", "pw");
    f.message("b.dat", "\"0622222222\",\"Backup failed\"\r\n");
    const std::string console =
        DeliverOutbox(f, "--centre tap --tap-password pw", R"("0611111111","UPS on battery")");
    EXPECT_EQ(f.accepted(), 2) << f.record();
    // Checksum worked out by hand from the checksum rule (1821 = 0x71D).
    EXPECT_THAT(f.log(), HasSubstr("Message Sent: <STX>0611111111<CR>UPS on battery<CR><ETX>71=<CR>"
                                   "/False\r\n"));

    // Send Manual SMS: the number as typed, the fixed text.
    ASSERT_TRUE(press(console, ManualSMS));
    const std::string dialog = window("Send Test SMS");
    // Typed only once the dialog has the keyboard, or digits go to the console.
    ASSERT_TRUE(xdotool("windowfocus --sync " + dialog + " type 0633333333"));
    ASSERT_TRUE(xdotool("key Return"));
    EXPECT_TRUE(f.waitForRecord(
        R"("kind":"accepted","protocol":"TAP","recipient":"0633333333","text":"Korvane Test Message")",
        20s))
        << f.record();
}

// The real program ended in the middle of its work: Exit and kill -TERM end it
// within a second with the port closed; killed (SIGKILL) and started again, it
// loses nothing and leaves nothing half-written.

using Kills = RealProgram;
using ExitUnderXvfb = RealProgram;

TEST_F(Kills, MidSendTheMessageStaysOrWasDeliveredAndTheRestartSendsIt)
{
    // Killed while dialling (the centre has nothing yet), and in the response
    // window (the centre accepted it, the file was not yet deleted).
    for (const std::string cut : {"\"kind\":\"dial\"", "\"kind\":\"accepted\""}) {
        SCOPED_TRACE(cut);
        ProgramFolder f("UCP", "01");
        startSending(f, "--centre ucp --reply-delay 300");
        ASSERT_TRUE(f.waitForRecord(cut));
        ::kill(f.app, SIGKILL);
        ASSERT_EQ(WaitEnd(f.app, 3s), 128 + SIGKILL);
        for (const char *log : {"Master.Log", "Events.Log"})
            EXPECT_TRUE(ReadAll(f.dir / log).ends_with("/False\r\n")) << log;
        const long before = f.accepted(); // the file goes only after the exchange: sent again

        const std::string console = start(f);
        ASSERT_TRUE(f.waitForRecord("\"reason\":\"port closed\""));
        ASSERT_TRUE(press(console, StartStop));
        EXPECT_TRUE(WaitUntil([&] { return f.outboxEmpty(); }, 30s)) << f.log();
        EXPECT_EQ(f.accepted(), before + 1) << f.record();
    }
}

TEST_F(Kills, MidSaveTheSettingsFileIsTheOldOrTheNewOne)
{
    ProgramFolder f("UCP", "01");
    std::size_t longest = 0;
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        const std::string console = start(f);
        // Every keystroke in the SMS Centre Number saves the whole file.
        const std::string before = ReadAll(f.dir / "smsconf.conf");
        pid_t typist =
            Spawn("xdotool mousemove --window " + console +
                  " 460 79 click 1 key End type --delay 5 123456789012345678901234567890");
        // Killed once the typing is saving, at a moment that moves each round.
        ASSERT_TRUE(WaitUntil([&] { return ReadAll(f.dir / "smsconf.conf") != before; }, 30s));
        std::this_thread::sleep_for(15ms * round);
        ::kill(f.app, SIGKILL);
        Stop(f.app);
        Stop(typist);
        const std::string file = ReadAll(f.dir / "smsconf.conf");
        const auto at = file.find("0612345678") + 10;
        const std::size_t digits = file.find_first_not_of("0123456789", at) - at;
        ASSERT_EQ(file, std::string(f.config).insert(at, file.substr(at, digits)));
        EXPECT_GE(digits, longest) << "a save went backwards";
        longest = digits;
    }
}

TEST_F(ExitUnderXvfb, EndsWithinASecondInsideAnExchangeWithThePortClosed)
{
    // The last: a dial whose carrier never comes, ended in the blocking
    // carrier wait, where no event is served, within one of its pauses.
    for (const std::string way : {"menu", "sigterm", "sigterm waiting for the carrier"}) {
        SCOPED_TRACE(way);
        const bool carrierWait = way.ends_with("carrier");
        ProgramFolder f("UCP", "01");
        startSending(f, carrierWait ? "--result busy --connect-delay 3000" : "--centre ucp");
        // The frame went out: the gateway logs the centre's answers for a second;
        // or the dial's echo ended the wait for an answer and the carrier wait began.
        ASSERT_TRUE(
            carrierWait
                ? WaitUntil([&] { return f.log().find("Recieved:ATDT") != f.log().npos; }, 30s)
                : f.waitForRecord("\"kind\":\"received\""));
        auto asked = Clock::now();
        if (way == "menu") {
            ASSERT_TRUE(xdotool("mousemove 600 300 click 3"));
            ASSERT_TRUE(popupShown(f.app, true));
            ASSERT_TRUE(xdotool("key x")); // E&xit
            asked = Clock::now();          // the key is with the X server
        } else {
            ::kill(f.app, SIGTERM);
        }
        EXPECT_EQ(WaitEnd(f.app, 5s), 0);
        // Within a second; in the carrier wait within one of its one-second pauses.
        EXPECT_LT(Clock::now() - asked, carrierWait ? 3000ms : 1000ms);
        f.app = -1;
        EXPECT_TRUE(f.waitForRecord("\"reason\":\"port closed\""));
        // Nothing half-written: the log ends where an entry ends.
        EXPECT_TRUE(f.log().ends_with("/False\r\n")) << f.log();
        EXPECT_THAT(f.log(), ::testing::Not(HasSubstr("Could not dial SMS Center")));
    }
}

// The console under a bare X server, where no tray exists until a desktop
// panel starts after the program.
using ConsoleUnderXvfb = RealProgram;

TEST_F(ConsoleUnderXvfb, LeavingTheWindowIsNoEditAndALaterPanelTakesTheIcon)
{
    if (std::system("command -v trayer >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "needs trayer";
    ProgramFolder f("UCP", "01");
    const std::string console = start(f);
    const auto shown = [] {
        return xdotool("search --onlyvisible --name 'Quillmast Configuration'").has_value();
    };
    const auto stamp = [&] { return fs::last_write_time(f.dir / "smsconf.conf"); };
    const auto before = stamp();
    // The focus on the speed list (its drop-down opened and closed), then About
    // from the console's menu: without a tray the console is minimised, not hidden.
    ASSERT_TRUE(xdotool("mousemove --window " + console + " 280 261 click 1"));
    ASSERT_TRUE(popupShown(f.app, true));
    ASSERT_TRUE(xdotool("key Escape"));
    ASSERT_TRUE(WaitUntil([&] { return !popupShown(f.app); }, 30s));
    ASSERT_TRUE(xdotool("mousemove --window " + console + " 600 300 click 3"));
    ASSERT_TRUE(popupShown(f.app, true));
    ASSERT_TRUE(xdotool("key a")); // &About...
    ASSERT_NE(window("About Quillmast"), "");
    EXPECT_TRUE(shown());

    pid_t panel = Spawn("trayer --edge top --align right --widthtype request");
    EXPECT_TRUE(WaitUntil(
        [] {
            return std::system("w=$(xdotool search --classname '^panel$') && timeout 5 "
                               "xwininfo -tree -id \"$w\" | grep -q '\"quillmast\"'") == 0;
        },
        30s))
        << "the icon is docked in the panel";
    // Seconds later the settings file is still untouched; a Tab out of the list saves it.
    EXPECT_EQ(stamp(), before);
    EXPECT_TRUE(xdotool("windowfocus --sync " + console + " key Tab"));
    EXPECT_TRUE(WaitUntil([&] { return stamp() != before; }, 10s));
    // With the tray, About hides the console.
    EXPECT_TRUE(xdotool("mousemove --window " + console + " 744 20 click 1"));
    EXPECT_TRUE(WaitUntil([&] { return !shown(); }, 10s));
    Stop(panel);
}

} // namespace
} // namespace qm::e2e
