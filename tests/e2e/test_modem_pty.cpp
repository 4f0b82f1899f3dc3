// The send cycle over the real port adapter, pump, timers and clock against
// smsc-sim on a pseudo-terminal, in real time: what only a real line shows.

#include "commands/autosending.h"
#include "fakes.h"
#include "modem/portevents.h"
#include "processes.h"
#include "qt/platform/qtclock.h"
#include "qt/platform/qteventpump.h"
#include "qt/platform/qtserialport.h"
#include "qt/platform/qttimer.h"
#include "qtapp.h"
#include "send/sendcycle.h"

#include <QTimer>

#include <pty.h>
#include <sys/ioctl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qm::test
{
namespace
{

using namespace ::testing;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

// The real clock, except that the carrier wait's one-second pauses last
// 20 ms so that a dial without carrier ends in well under a second.
class ShortPauseClock final : public QtClock
{
public:
    void pause(std::chrono::milliseconds d) override
    {
        ++pauses;
        QtClock::pause(d / 50);
    }
    int pauses = 0;
};

struct RealRig {
    RealRig()
        : port(t.gw.state.AppPath), gw{GatewayState{}, port,     pump,     clock,
                                       t.notifier,     t.status, t.fields, timers}
    {
        gw.state.AppPath = t.gw.state.AppPath;
        ConnectConsoleTimers(gw);
        port.setEventHandler([this](PortEvent e) { OnPortEvent(gw, e); });
    }
    ~RealRig() { e2e::Stop(sim); }

    TestGateway t; // temp folder, notifier, status line, fields
    QtTimer CheckPendingSMS{1000}, sec1{1000}, sec2{2000}, sec4{4000}, sec8{8000}, sec10{60000};
    ConsoleTimers timers{CheckPendingSMS, sec1, sec2, sec4, sec8, sec10};
    QtSerialPort port;
    QtEventPump pump;
    ShortPauseClock clock;
    Gateway gw;
    pid_t sim = -1;
};

// One outbox message, the cycle stopped between two messages once the fault
// was met: the message stays in the outbox or its frame is in Master.Log, and
// the port is closed after the loop.
TEST(SendCyclePty, LineFaultsLoseNothing)
{
    // signal: sent to the simulator once the gateway's first data is in.
    // clang-format off
    const struct { const char *sim; int signal; const char *logged, *notice; bool kept, noCarrier; }
        rows[] = {
        // Without a carrier the wait blocks (nothing is served) for all its pauses.
        {"--result busy", 0, "BUSY", "The number is busy.", true, true},
        // The carrier drops once the frame is in, inside the UCP response window.
        {"--centre ucp --reply-delay 600", SIGUSR1, "Message Sent: <STX>", "There is no carrier.",
         false, false},
        // The device vanishes (the simulator is killed) during the TAP login.
        {"--centre tap --tap-ignored-prompts 3", SIGKILL, "Err-0016", nullptr, true, false},
    };
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.sim);
        RealRig r;
        r.sim = e2e::StartSimulator(r.t.dir, std::string("--connect-delay 0 --no-echo ") + row.sim);
        r.t.fields.SMSCenterNumber = "5550100";
        r.t.fields.Protocol = std::string(row.sim).find("tap") != std::string::npos ? "TAP" : "UCP";
        r.t.fields.OperationType = "01";
        fs::create_directories(r.t.dir / "outbox");
        // Taken at the second listing, one to two seconds in.
        std::ofstream(r.t.dir / "outbox" / "m.dat") << "\"0611\",\"line fault\"\r\n";
        // Set off once the gateway's first data is in; a busy line is its own fault, met at the
        // dial.
        bool faulted = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&, end = e2e::Clock::now() + 30s] {
            const std::string record = faulted ? "" : e2e::ReadAll(r.t.dir / "sim.jsonl");
            if (!faulted && row.signal == 0) {
                faulted = record.find("\"kind\":\"dial\"") != std::string::npos;
            } else if (!faulted && record.find("\"kind\":\"received\"") != std::string::npos) {
                // A vanished device takes its node along: a reopen must not
                // reach the terminal number another test's simulator gets next.
                if (row.signal == SIGKILL) {
                    fs::remove(r.t.dir / "COM1");
                    fs::create_symlink("/nonexistent/qm-killed-simulator", r.t.dir / "COM1");
                }
                faulted = ::kill(r.sim, row.signal) == 0;
            }
            if ((faulted && !r.gw.state.ExchangeInProgress) || e2e::Clock::now() > end)
                StopAutomaticSending(r.gw);
        });
        watch.start(20);
        std::string none, nothing;
        r.gw.state.AutoSending = true;
        EXPECT_EQ(SendPendingSMS(r.gw, none, nothing), SendCycleResult::Done);
        EXPECT_EQ(fs::exists(r.t.dir / "outbox" / "m.dat"), row.kept);
        EXPECT_THAT(r.t.readFile("Master.Log"), HasSubstr(row.logged));
        EXPECT_FALSE(r.port.isOpen());
        if (row.notice) {
            EXPECT_THAT(r.t.notifier.notices,
                        Contains(Field(&Notice::text, HasSubstr(row.notice))));
        }
        EXPECT_EQ(r.clock.pauses > 0, row.noCarrier);
    }
}

// Without modem lines the carrier follows the answers, also those the input clear throws away:
// a call that dropped just before a frame must not look up.
TEST(QtSerialPortPty, ClearingTheInputStillReadsItForTheCarrier)
{
    RealRig r;
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    fs::create_symlink(::ptsname(master), r.t.dir / "COM1");
    ASSERT_FALSE(r.port.open());
    const auto answer = [&](const std::string &text) {
        EXPECT_EQ(::write(master, text.data(), text.size()), ssize_t(text.size()));
        int waiting = 0; // until the line has it all, unread
        EXPECT_TRUE(e2e::WaitUntil(
            [&] { return ::ioctl(slave, FIONREAD, &waiting) == 0 && waiting >= int(text.size()); },
            10s));
    };
    answer("\r\nCONNECT 9600\r\n");
    EXPECT_TRUE(r.port.carrierDetect());
    answer("\r\nNO CARRIER\r\n");
    EXPECT_FALSE(r.port.clearInput());
    EXPECT_FALSE(r.port.carrierDetect());
    r.port.close();
    ::close(slave);
    ::close(master);
}

// The idle gateway must not spin: with nothing pending a pump sleeps until its
// deadline; a timer's tick keeps its phase when enabled again; 0 ms never ticks.
TEST(QtSeams, PumpSleepsAndTimersKeepTheirPhase)
{
    RealRig r;
    QtTimer never(0), ticking(100);
    int neverTicks = 0, ticks = 0;
    never.setTickHandler([&] { ++neverTicks; });
    ticking.setTickHandler([&] { ++ticks; });
    never.setEnabled(true);
    QCoreApplication::processEvents();
    const auto start = r.clock.now();
    ticking.setEnabled(true);
    int pumps = 0;
    for (; r.clock.now() < start + 60ms; ++pumps)
        r.pump.pump(start + 60ms);
    EXPECT_LE(pumps, 3);
    ticking.setEnabled(true);
    while (ticks == 0 && r.clock.now() - start < 2s)
        r.pump.pump(r.clock.now() + 500ms);
    EXPECT_EQ(ticks, 1);
    EXPECT_LT(r.clock.now() - start, 150ms);
    EXPECT_EQ(neverTicks, 0);
}

} // namespace
} // namespace qm::test
