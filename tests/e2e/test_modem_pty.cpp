// The real port adapter and Qt seams against smsc-sim on a pseudo-terminal,
// in real time. Each test takes about a second.

#include "console/autosending.h"
#include "fakes.h"
#include "modem/dial.h"
#include "modem/portevents.h"
#include "modem/qtserialport.h"
#include "outbox/sendcycle.h"
#include "platform/qtclock.h"
#include "platform/qteventpump.h"
#include "platform/qttimer.h"

#include <QCoreApplication>
#include <QTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "processes.h"

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;
namespace fs = std::filesystem;

QCoreApplication &app()
{
    static int argc = 1;
    static char name[] = "test_modem_pty";
    static char *argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

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

// smsc-sim serving COM1 in `dir` for as long as the object lives.
class Simulator
{
public:
    Simulator(const fs::path &dir, std::vector<std::string> args) : record_(dir / "sim.jsonl")
    {
        args.insert(args.begin(),
                    {SMSC_SIM_PATH, "--dir", dir.string(), "--record", record_.string()});
        pid_ = e2e::Spawn(args, {});
        // Starting a process is not a protocol wait: look for its link.
        e2e::WaitUntil([&] { return fs::is_symlink(dir / "COM1"); }, 5s);
    }
    ~Simulator() { e2e::Stop(pid_); }
    void signal(int sig) { ::kill(pid_, sig); }
    // The record once it holds `text`, or as it stands after `limit`.
    std::string waitForRecord(const std::string &text, std::chrono::milliseconds limit = 3s) const
    {
        e2e::WaitForText(record_, text, limit);
        return e2e::ReadAll(record_);
    }

private:
    fs::path record_;
    pid_t pid_ = -1;
};

// The gateway over the real adapter, pump, timers and clock.
struct RealRig {
    RealRig()
        : port(t.gw.state.AppPath),
          gw{GatewayState{}, port,
             pump,           clock,
             t.notifier,     t.status,
             t.fields,       ConsoleTimers{CheckPendingSMS, sec1, sec2, sec4, sec8, sec10}}
    {
        app();
        gw.state.AppPath = t.gw.state.AppPath;
        ConnectConsoleTimers(gw);
        port.setEventHandler([this](int code) { OnPortEvent(gw, code); });
    }
    // Pumps until `done` or `limit` has passed.
    bool pumpUntil(const std::function<bool()> &done, std::chrono::milliseconds limit = 3s)
    {
        const auto end = clock.now() + limit;
        while (!done()) {
            if (clock.now() >= end)
                return false;
            pump.pump(clock.now() + 50ms);
        }
        return true;
    }
    bool received(const std::string &text) const
    {
        return gw.state.ReceiveBuffer.find(text) != std::string::npos;
    }

    TestGateway t; // temp folder, notifier, status line, fields
    QtTimer CheckPendingSMS{1000}, sec1{1000}, sec2{2000}, sec4{4000}, sec8{8000}, sec10{60000};
    QtSerialPort port;
    QtEventPump pump;
    ShortPauseClock clock;
    Gateway gw;
};

TEST(ModemPty, DialConnectsThroughTheLinkSeesCarrierAndHangsUp)
{
    RealRig r;
    Simulator sim(r.t.dir, {"--connect-delay", "300", "--centre", "echo"});
    ASSERT_TRUE(fs::is_symlink(r.t.dir / "COM1"));

    DialSMSCenter(r.gw, " 5550100 ");
    EXPECT_EQ(r.port.devicePath(1), r.gw.state.AppPath + "COM1");
    EXPECT_FALSE(r.port.hasModemLines());
    // The echo ended the answer wait; the carrier came during the blocking
    // pauses, found in the bytes waiting in the device.
    EXPECT_TRUE(r.gw.state.Connected);
    EXPECT_GT(r.clock.pauses, 0);
    EXPECT_LT(r.clock.pauses, 30);
    EXPECT_TRUE(r.port.carrierDetect());

    // Those bytes are not lost: they arrive as data at the next pumps.
    ASSERT_TRUE(r.pumpUntil([&] { return r.received("CONNECT 9600\r\n"); }));
    EXPECT_EQ(r.gw.state.ReceiveBuffer, "ATDT5550100\r\r\nCONNECT 9600\r\n");
    EXPECT_EQ(r.t.status.text(), "Connected");

    ASSERT_FALSE(r.port.write(std::string("HELLO\x03", 6)));
    ASSERT_TRUE(r.pumpUntil([&] { return r.received("HELLO\x03"); }));

    // The send cycle's hang-up: ATH, then closing the port ends the call.
    ASSERT_FALSE(r.port.write("ATH"));
    r.gw.state.Connected = false;
    ASSERT_FALSE(r.port.close());
    EXPECT_FALSE(r.port.carrierDetect());
    const std::string rec = sim.waitForRecord(R"("kind":"hangup")");
    for (const char *event :
         {R"("kind":"dial","number":"5550100")", R"("kind":"received","bytes":"HELLO\u0003")",
          R"("kind":"hangup","reason":"port closed")"})
        EXPECT_THAT(rec, HasSubstr(event));
    EXPECT_THAT(r.t.readFile("Master.Log"), HasSubstr("Recieved:\r\nCONNECT 9600\r\n/False"));
    EXPECT_TRUE(r.t.notifier.notices.empty());
}

TEST(ModemPty, BusyAnswer)
{
    RealRig r;
    Simulator sim(r.t.dir, {"--result", "busy", "--connect-delay", "200", "--no-echo"});

    DialSMSCenter(r.gw, "5550100");
    EXPECT_FALSE(r.gw.state.Connected);
    EXPECT_EQ(r.clock.pauses, 30);
    EXPECT_EQ(r.gw.state.ReceiveBuffer, "\r\nBUSY\r\n");
    ASSERT_EQ(r.t.notifier.notices.size(), 1u);
    EXPECT_EQ(r.t.notifier.notices[0].text, "The number is busy.  Please try again later.");
    EXPECT_THAT(r.t.readFile("Master.Log"), Not(HasSubstr("Timed out")));
    r.port.close();
}

TEST(ModemPty, CarrierLossFromTheFarEndIsReported)
{
    RealRig r;
    Simulator sim(r.t.dir, {"--connect-delay", "0", "--no-echo"});
    DialSMSCenter(r.gw, "5550100");
    ASSERT_TRUE(r.gw.state.Connected);

    sim.signal(SIGUSR1); // the centre hangs up
    ASSERT_TRUE(r.pumpUntil([&] { return !r.gw.state.Connected; }));
    EXPECT_EQ(r.t.status.text(), "Disconnected");
    EXPECT_FALSE(r.port.carrierDetect());
    ASSERT_TRUE(r.pumpUntil([&] { return !r.t.notifier.notices.empty(); }));
    EXPECT_THAT(r.t.notifier.notices[0].text, HasSubstr("There is no carrier."));
    r.port.close();
}

TEST(ModemPty, LosingTheDeviceEndsTheCallCleanly)
{
    RealRig r;
    auto sim = std::make_unique<Simulator>(
        r.t.dir, std::vector<std::string>{"--connect-delay", "0", "--no-echo"});
    DialSMSCenter(r.gw, "5550100");
    ASSERT_TRUE(r.gw.state.Connected);

    sim->signal(SIGKILL); // the far end of the terminal vanishes
    ASSERT_TRUE(r.pumpUntil([&] { return !r.port.isOpen(); }));
    ASSERT_TRUE(r.pumpUntil([&] { return !r.gw.state.Connected; }));
    EXPECT_EQ(r.t.status.text(), "Disconnected");
    const auto f = r.port.write("ATH");
    ASSERT_TRUE(f.has_value());
    EXPECT_FALSE(f->description.empty());

    // The link now dangles: dialling reports it instead of opening another device.
    sim.reset();
    ASSERT_TRUE(fs::is_symlink(r.t.dir / "COM1"));
    ASSERT_FALSE(fs::exists(r.t.dir / "COM1"));
    DialSMSCenter(r.gw, "5550100");
    EXPECT_EQ(r.port.devicePath(1), r.gw.state.AppPath + "COM1");
    EXPECT_THAT(r.t.readFile("Master.Log"), HasSubstr("Err-0003:Dialing Error"));
}

TEST(ModemPty, MissingPortIsADialingError)
{
    RealRig r;
    ASSERT_FALSE(r.port.setPortNumber(42)); // no COM42 link, no /dev/ttyS41
    DialSMSCenter(r.gw, "5550100");
    EXPECT_THAT(r.t.readFile("Master.Log"), HasSubstr(": Err-0003:Dialing Error\rError:"));
    EXPECT_EQ(r.port.isOpen(), false);
    EXPECT_EQ(r.clock.pauses, 0);
}

TEST(QtSeams, TimerRulesAndPumpWake)
{
    app();
    QtEventPump pump;
    QtClock clock;
    QtTimer never(0), ticking(100);
    int neverTicks = 0, ticks = 0;
    never.setTickHandler([&] { ++neverTicks; });
    ticking.setTickHandler([&] { ++ticks; });
    never.setEnabled(true);
    EXPECT_TRUE(never.isEnabled());

    QCoreApplication::processEvents(); // whatever start-up left pending

    // With nothing pending a pump sleeps until its deadline: a handful of
    // pumps cover 60 ms, not thousands.
    const auto start = clock.now();
    ticking.setEnabled(true);
    int pumps = 0;
    while (clock.now() < start + 60ms) {
        pump.pump(start + 60ms);
        ++pumps;
    }
    EXPECT_LE(pumps, 3);
    EXPECT_EQ(ticks, 0);
    // Enabling again keeps the phase: the tick still comes 100 ms after start.
    ticking.setEnabled(true);
    while (ticks == 0 && clock.now() - start < 2s)
        pump.pump(clock.now() + 500ms);
    EXPECT_EQ(ticks, 1);
    EXPECT_LT(clock.now() - start, 150ms);
    EXPECT_EQ(neverTicks, 0);
    ticking.setEnabled(false);
    EXPECT_FALSE(ticking.isEnabled());
}

// The send cycle delivers outbox files through the real adapter and seams:
// started as the console's button does, stopped once the outbox is empty.
void DeliverOutbox(RealRig &r, const std::string &protocol)
{
    r.t.fields.SMSCenterNumber = "5550100";
    r.t.fields.Protocol = protocol;
    r.t.fields.OperationType = "51";
    r.t.fields.AuthenticationCode = "pw1";
    fs::create_directories(r.t.dir / "outbox");
    std::ofstream(r.t.dir / "outbox" / "m.dat") << "\"06 1234 5678\",\"Disk C: 95% full\"\r\n";
    QTimer watch; // looks at the folder, as an operator would
    QObject::connect(&watch, &QTimer::timeout, [&r] {
        if (fs::is_empty(r.t.dir / "outbox") && !r.gw.state.ExchangeInProgress)
            StopAutomaticSending(r.gw);
    });
    watch.start(50);
    QTimer::singleShot(15000, [&r] { StopAutomaticSending(r.gw); }); // bound
    std::string none, nothing;
    r.gw.state.AutoSending = true;
    EXPECT_EQ(SendPendingSMS(r.gw, none, nothing), SendCycleResult::Done);
    EXPECT_TRUE(fs::is_empty(r.t.dir / "outbox"));
    EXPECT_FALSE(r.port.isOpen());
}

TEST(SendCyclePty, UcpMessageFromTheOutboxIsDelivered)
{
    RealRig r;
    Simulator sim(r.t.dir, {"--connect-delay", "0", "--no-echo", "--centre", "ucp", "--reply-delay",
                            "20", "--reply-pieces", "2"});
    DeliverOutbox(r, "UCP");
    EXPECT_THAT(
        sim.waitForRecord(R"("kind":"hangup")"),
        HasSubstr(
            R"("kind":"accepted","ot":"51","protocol":"UCP","recipient":"0612345678","text":"Disk C: 95% full")"));
    EXPECT_THAT(r.t.readFile("Events.Log"), HasSubstr("Response to message recieved:\x02"));
}

TEST(SendCyclePty, TapMessageFromTheOutboxIsDelivered)
{
    RealRig r;
    Simulator sim(r.t.dir, {"--connect-delay", "0", "--no-echo", "--centre", "tap",
                            "--tap-password", "pw1", "--reply-delay", "20"});
    DeliverOutbox(r, "TAP");
    EXPECT_THAT(sim.waitForRecord(R"("kind":"hangup")"),
                HasSubstr(R"("recipient":"0612345678","text":"Disk C: 95% full")"));
    EXPECT_THAT(r.t.readFile("Master.Log"), HasSubstr("Message Sent: <STX>0612345678<CR>"));
}

// Faults only a real line shows, through the send cycle for a few seconds:
// the message stays in the outbox or its frame is in Master.Log, and the
// port is closed after the loop.
TEST(SendCyclePty, CarrierDropAndVanishingDeviceLoseNothing)
{
    struct Row {
        const char *fault;
        std::vector<std::string> sim;
        bool killSimAfter700ms;
        bool kept;
        const char *logged;
    };
    const Row rows[] = {
        {"carrier drops in the UCP response window",
         {"--centre", "ucp", "--reply-delay", "600", "--drop-carrier-after", "100"},
         false,
         false,
         "Message Sent: <STX>"},
        {"device vanishes during the TAP login",
         {"--centre", "tap", "--tap-ignored-prompts", "3"},
         true,
         true,
         "Err-0016"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.fault);
        RealRig r;
        std::vector<std::string> args{"--connect-delay", "0", "--no-echo"};
        args.insert(args.end(), row.sim.begin(), row.sim.end());
        auto sim = std::make_unique<Simulator>(r.t.dir, args);
        r.t.fields.SMSCenterNumber = "5550100";
        r.t.fields.Protocol = row.sim[1] == "ucp" ? "UCP" : "TAP";
        r.t.fields.OperationType = "01";
        fs::create_directories(r.t.dir / "outbox");
        std::ofstream(r.t.dir / "outbox" / "m.dat") << "\"0611\",\"line fault\"";
        if (row.killSimAfter700ms)
            QTimer::singleShot(700, [&sim] { sim->signal(SIGKILL); });
        QTimer::singleShot(3000, [&r] { StopAutomaticSending(r.gw); });
        std::string none, nothing;
        r.gw.state.AutoSending = true;
        EXPECT_EQ(SendPendingSMS(r.gw, none, nothing), SendCycleResult::Done);
        EXPECT_EQ(fs::exists(r.t.dir / "outbox" / "m.dat"), row.kept);
        EXPECT_THAT(r.t.readFile("Master.Log"), HasSubstr(row.logged));
        EXPECT_FALSE(r.port.isOpen());
        EXPECT_FALSE(r.gw.state.Connected);
    }
}

} // namespace
} // namespace qm::test
