#include "basiccentres.h"
#include "fakes.h"
#include "hayesmodem.h"
#include "modem/dial.h"
#include "modem/portevents.h"
#include "simport.h"
#include "simtest.h"

#include <gtest/gtest.h>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;
using sim::DialResult;
const auto scenario = sim::test::Scenario;

const std::string Stamp = "06/12/2026 12:00:00";

// The gateway wired to a simulated Hayes modem on its port, in virtual time.
struct ModemRig {
    explicit ModemRig(const sim::ModemScenario &s)
        : modem(s, &centre, &recorder),
          port(t.world, modem), gw{GatewayState{}, port,     t.world,  t.world,
                                   t.notifier,     t.status, t.fields, t.gw.timers}
    {
        gw.state.AppPath = t.gw.state.AppPath;
        ConnectConsoleTimers(gw);
        port.setEventHandler([this](int code) { OnPortEvent(gw, code); });
    }
    bool logHas(const std::string &text) const
    {
        return t.readFile("Master.Log").find(text) != std::string::npos;
    }

    TestGateway t;
    sim::RecordingCentre centre;
    sim::test::ListRecorder recorder;
    sim::HayesModem modem;
    SimSerialPort port;
    Gateway gw;
};

TEST(Dial, ImmediateConnectOnAReopenedPortWithTheNumberTrimmed)
{
    ModemRig r(scenario(DialResult::Connect, 0ms, false));
    r.port.open();
    r.port.rx = "stale"; // cleared, never read
    DialSMSCenter(r.gw, "  0 123 456   ");

    EXPECT_TRUE(r.gw.state.Connected);
    EXPECT_EQ(r.port.calls, (std::vector<std::string>{"open", "close", "open", "clearInput",
                                                      "write", "readAll"}));
    EXPECT_EQ(r.port.written, "ATDT0 123 456\r");
    EXPECT_EQ(r.recorder.values("dial", "number"), std::vector<std::string>{"0 123 456"});
    EXPECT_EQ(r.gw.state.ReceiveBuffer, "\r\nCONNECT 9600\r\n");
    EXPECT_EQ(r.t.status.text(), "Connected");
    EXPECT_TRUE(r.t.world.pauses.empty());
    EXPECT_EQ(r.t.world.elapsed(), 0ms);
    EXPECT_EQ(r.t.world.beeps, 0);
    // The answered dial leaves sec10 running, as the console has always done.
    EXPECT_TRUE(r.t.sec10.isEnabled());
    EXPECT_EQ(r.t.readFile("Master.Log"), Stamp + ": Recieved:\r\nCONNECT 9600\r\n/False\r\n" +
                                              Stamp + ": /False\r\n" + Stamp + ": /False\r\n");
}

TEST(Dial, EchoFirstThenConnectFoundDuringTheBlockingCarrierWait)
{
    ModemRig r(scenario(DialResult::Connect, 4500ms, true));
    DialSMSCenter(r.gw, "5550100");

    EXPECT_TRUE(r.gw.state.Connected);
    // The echo ended the answer wait at once; the carrier came at 4.5 s and
    // the fifth pause saw it. Nothing was served during the pauses.
    EXPECT_EQ(r.t.world.pauses.size(), 5u);
    EXPECT_EQ(r.t.world.elapsed(), 5000ms);
    EXPECT_EQ(r.t.world.pumps, 1);
    EXPECT_EQ(r.gw.state.ReceiveBuffer, "ATDT5550100\r");

    // The answer that came during the pauses is delivered at the next pump.
    r.t.world.pump();
    EXPECT_EQ(r.gw.state.ReceiveBuffer, "ATDT5550100\r\r\nCONNECT 9600\r\n");
    EXPECT_EQ(r.recorder.values("dial", "number"), std::vector<std::string>{"5550100"});
}

TEST(Dial, OldTextInReceiveBufferEndsTheAnswerWaitAtOnce)
{
    ModemRig r(scenario(DialResult::Silent, 0ms, false));
    r.gw.state.ReceiveBuffer = "OK\r\n";
    DialSMSCenter(r.gw, "5550100");

    // No carrier after 30 pauses: the momentary True is replaced.
    EXPECT_FALSE(r.gw.state.Connected);
    EXPECT_EQ(r.t.world.pauses.size(), 30u);
    EXPECT_EQ(r.t.world.elapsed(), 30s);
    EXPECT_EQ(r.gw.state.ReceiveBuffer, "OK\r\n");
    EXPECT_FALSE(r.logHas("Timed out"));
}

TEST(Dial, ErrorAnswerBeepsLogsAndStillWaitsForCarrier)
{
    ModemRig r(scenario(DialResult::Error, 2000ms, false));
    DialSMSCenter(r.gw, "5550100");

    EXPECT_FALSE(r.gw.state.Connected);
    EXPECT_EQ(r.t.world.beeps, 1);
    EXPECT_TRUE(r.logHas(": Err-0002:An error occured while dialing number/False\r\n"));
    ASSERT_EQ(r.t.notifier.notices.size(), 1u);
    EXPECT_EQ(r.t.notifier.notices[0].text, "An Input Error occurred, it was ERROR.");
    EXPECT_EQ(r.t.world.pauses.size(), 30u);
    EXPECT_EQ(r.t.world.elapsed(), 32s);
}

TEST(Dial, NoAnswerTimesOutAfterSixtySecondsThenWaitsThirtyForCarrier)
{
    ModemRig r(scenario(DialResult::Silent, 0ms, false));
    r.gw.state.Connected = true; // stale from an earlier call
    DialSMSCenter(r.gw, "5550100");

    EXPECT_FALSE(r.gw.state.Connected);
    EXPECT_FALSE(r.gw.state.WaitSec10);
    EXPECT_FALSE(r.t.sec10.isEnabled());
    EXPECT_EQ(r.t.sec10.ticks, 1);
    EXPECT_EQ(r.t.world.elapsed(), 90s);
    EXPECT_EQ(r.t.world.pauses.size(), 30u);
    EXPECT_EQ(r.t.readFile("Master.Log"),
              "06/12/2026 12:01:00: Timed out. No response from Modem/False\r\n");
}

TEST(Dial, AnswerWithoutErrAndNoCarrierEndsDisconnected)
{
    for (DialResult result : {DialResult::Busy, DialResult::NoCarrier, DialResult::NoDialtone}) {
        SCOPED_TRACE(std::string(sim::DialResultName(result)));
        ModemRig r(scenario(result, 3000ms, false));
        DialSMSCenter(r.gw, "5550100");
        EXPECT_FALSE(r.gw.state.Connected);
        EXPECT_EQ(r.t.world.beeps, 0);
        EXPECT_EQ(r.t.world.elapsed(), 33s);
        EXPECT_FALSE(r.logHas("Err-"));
    }
}

TEST(Dial, BusyShowsTheBusyBox)
{
    ModemRig r(scenario(DialResult::Busy, 3000ms, true));
    DialSMSCenter(r.gw, "5550100");
    // The echo ended the answer wait; BUSY came during the blocking pauses
    // and is read at the next pump.
    EXPECT_TRUE(r.t.notifier.notices.empty());
    r.t.world.pump();
    ASSERT_EQ(r.t.notifier.notices.size(), 1u);
    EXPECT_EQ(r.t.notifier.notices[0].title, "Quillmast");
    EXPECT_EQ(r.t.notifier.notices[0].text, "The number is busy.  Please try again later.");
    EXPECT_FALSE(r.gw.state.Connected);
}

TEST(Dial, PortFailureGivesExactlyOneErr0003AndNoWait)
{
    const std::pair<const char *, bool> rows[] = {
        {"open", false}, {"close", true}, {"clearInput", false}, {"write", false}};
    for (const auto &[op, startOpen] : rows) {
        SCOPED_TRACE(op);
        TestGateway t;
        ConnectConsoleTimers(t.gw);
        if (startOpen)
            t.port.open();
        t.port.failAlways(op, Failure{2, "No such file or directory"});
        t.gw.state.Connected = true;

        DialSMSCenter(t.gw, "5550100");

        EXPECT_EQ(t.readFile("Master.Log"),
                  Stamp + ": Err-0003:Dialing Error\rError:2-No such file or directory/False\r\n");
        EXPECT_EQ(t.port.written, "");
        EXPECT_TRUE(t.gw.state.Connected); // unchanged
        EXPECT_EQ(t.world.pumps, 0);
        EXPECT_TRUE(t.world.pauses.empty());
        EXPECT_FALSE(t.sec10.isEnabled());
        EXPECT_FALSE(t.gw.state.WaitSec10);
    }
}

// sec10 is left running after an answered dial. A later dial restarts it, so
// its answer wait lasts a full interval whatever the timer's old phase.
TEST(Dial, SecondDialGetsAFullAnswerWait)
{
    ModemRig r(scenario(DialResult::Connect, 20s, false));
    DialSMSCenter(r.gw, "5550100"); // sec10 enabled at 0 s, answered at 20 s
    ASSERT_TRUE(r.gw.state.Connected);
    ASSERT_TRUE(r.t.sec10.isEnabled());

    r.port.close(); // the send cycle's hang-up
    r.gw.state.Connected = false;
    r.gw.state.ReceiveBuffer.clear(); // as a message response loop leaves it
    r.t.world.after(30s, [] {});
    r.t.world.pump(); // idle until 50 s

    // The old phase would tick at 60 s, 10 s into this dial; the answer is due at 70 s.
    DialSMSCenter(r.gw, "5550100");
    EXPECT_TRUE(r.gw.state.Connected);
    EXPECT_FALSE(r.logHas("Timed out"));
    EXPECT_EQ(r.t.world.elapsed(), 70s);
}

TEST(Dial, CarrierLostDuringTheCallDisconnects)
{
    ModemRig r(scenario(DialResult::Connect, 1000ms, false));
    DialSMSCenter(r.gw, "5550100");
    ASSERT_TRUE(r.gw.state.Connected);

    r.port.write("hello");
    r.port.dropCarrier();
    r.t.world.pump(); // the carrier event
    r.t.world.pump(); // "NO CARRIER" text
    EXPECT_FALSE(r.gw.state.Connected);
    EXPECT_EQ(r.t.status.text(), "Disconnected");
    ASSERT_EQ(r.centre.calls.size(), 1u);
    EXPECT_EQ(r.centre.calls[0], "hello");
    ASSERT_EQ(r.t.notifier.notices.size(), 1u);
    EXPECT_NE(r.t.notifier.notices[0].text.find("There is no carrier."), std::string::npos);
}

} // namespace
} // namespace qm::test
