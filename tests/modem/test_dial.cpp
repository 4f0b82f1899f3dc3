#include "modem/dial.h"
#include "sendrig.h"

#include <gtest/gtest.h>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;
using sim::DialResult;

const std::string Stamp = "06/12/2026 12:00:00";

RigOptions Modem(DialResult result, std::chrono::milliseconds delay, bool echo)
{
    RigOptions o;
    o.modem.result = result;
    o.modem.connectDelay = delay;
    o.modem.echo = echo;
    return o;
}

TEST(Dial, ImmediateConnectOnAReopenedPortWithTheNumberTrimmed)
{
    SendRig r(Modem(DialResult::Connect, 0ms, false));
    r.port.open();
    r.port.rx = "stale"; // cleared, never read
    DialSMSCenter(r.gw, "  0 123 456   ");
    EXPECT_TRUE(r.gw.state.Connected);
    EXPECT_EQ(r.port.calls, (std::vector<std::string>{"open", "close", "open", "clearInput",
                                                      "write", "readAll"}));
    EXPECT_EQ(r.port.written, "ATDT0 123 456\r");
    EXPECT_EQ(r.gw.state.ReceiveBuffer, "\r\nCONNECT 9600\r\n");
    EXPECT_TRUE(r.t.world.pauses.empty());
    EXPECT_TRUE(r.t.sec10.isEnabled()); // left running, as the console has always done
    EXPECT_EQ(r.t.readFile("Master.Log"), Stamp + ": Recieved:\r\nCONNECT 9600\r\n/False\r\n" +
                                              Stamp + ": /False\r\n" + Stamp + ": /False\r\n");
}

TEST(Dial, EchoFirstThenConnectFoundDuringTheBlockingCarrierWait)
{
    SendRig r(Modem(DialResult::Connect, 4500ms, true));
    DialSMSCenter(r.gw, "5550100");
    // The echo ended the answer wait; the fifth blocking pause saw the carrier
    // and nothing was served during the pauses.
    EXPECT_TRUE(r.gw.state.Connected);
    EXPECT_EQ(r.t.world.pauses.size(), 5u);
    EXPECT_EQ(r.t.world.pumps, 1);
    EXPECT_EQ(r.gw.state.ReceiveBuffer, "ATDT5550100\r");
    r.t.world.pump(); // what came during the pauses is delivered now
    EXPECT_EQ(r.gw.state.ReceiveBuffer, "ATDT5550100\r\r\nCONNECT 9600\r\n");
}

TEST(Dial, ErrorOrNoAnswerStillWaitsThirtySecondsForCarrier)
{
    SendRig error(Modem(DialResult::Error, 2000ms, false));
    DialSMSCenter(error.gw, "5550100");
    EXPECT_FALSE(error.gw.state.Connected);
    EXPECT_EQ(error.t.world.beeps, 1);
    EXPECT_EQ(error.logged("Err-0002:An error occured while dialing number"), 1);
    EXPECT_EQ(error.t.world.elapsed(), 32s);

    SendRig silent(Modem(DialResult::Silent, 0ms, false));
    silent.gw.state.Connected = true; // stale from an earlier call
    DialSMSCenter(silent.gw, "5550100");
    EXPECT_FALSE(silent.gw.state.Connected);
    EXPECT_FALSE(silent.t.sec10.isEnabled());
    EXPECT_EQ(silent.t.world.elapsed(), 90s);
    EXPECT_EQ(silent.t.world.pauses.size(), 30u);
    EXPECT_EQ(silent.t.readFile("Master.Log"),
              "06/12/2026 12:01:00: Timed out. No response from Modem/False\r\n");
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
        DialSMSCenter(t.gw, "5550100");
        EXPECT_EQ(t.readFile("Master.Log"),
                  Stamp + ": Err-0003:Dialing Error\rError:2-No such file or directory/False\r\n");
        EXPECT_EQ(t.port.written, "");
        EXPECT_EQ(t.world.pumps, 0);
        EXPECT_TRUE(t.world.pauses.empty());
        EXPECT_FALSE(t.sec10.isEnabled());
    }
}

// sec10 is left running after an answered dial. A later dial restarts it, so
// its answer wait lasts a full interval whatever the timer's old phase.
TEST(Dial, SecondDialGetsAFullAnswerWait)
{
    SendRig r(Modem(DialResult::Connect, 20s, false));
    DialSMSCenter(r.gw, "5550100"); // sec10 enabled at 0 s, answered at 20 s
    ASSERT_TRUE(r.gw.state.Connected);
    r.port.close();
    r.gw.state.Connected = false;
    r.gw.state.ReceiveBuffer.clear();
    r.t.world.after(30s, [] {});
    r.t.world.pump(); // idle until 50 s; the old phase would tick at 60 s
    DialSMSCenter(r.gw, "5550100");
    EXPECT_TRUE(r.gw.state.Connected);
    EXPECT_EQ(r.logged("Timed out"), 0);
    EXPECT_EQ(r.t.world.elapsed(), 70s);
}

} // namespace
} // namespace qm::test
