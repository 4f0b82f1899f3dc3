#include "modem/dial.h"
#include "sendrig.h"

#include <gtest/gtest.h>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;
using sim::DialResult;

const std::string ConnectText = "\r\nCONNECT 9600\r\n";

RigOptions Modem(DialResult result, std::chrono::milliseconds delay, bool echo = false)
{
    RigOptions o;
    o.modem.result = result;
    o.modem.connectDelay = delay;
    o.modem.echo = echo;
    return o;
}

// The answer wait pumps; the carrier wait after it blocks, so nothing is
// served during its pauses.
TEST(Dial, AnswerWaitThenBlockingCarrierWait)
{
    using enum DialResult;
    const std::string err = "Err-0002:An error occured while dialing number";
    const struct {
        RigOptions modem;
        std::string received;            // ReceiveBuffer after the dial
        std::vector<std::string> master; // Master.Log texts
        std::size_t pauses;
        std::chrono::seconds elapsed;
    } rows[] = {
        {Modem(Connect, 0ms), ConnectText, {"Recieved:" + ConnectText, "", ""}, 0, 0s},
        {Modem(Connect, 4500ms, true), "ATDT0 123 456\r", {"Recieved:ATDT0 123 456\r", ""}, 5, 5s},
        {Modem(Error, 2000ms), "\r\nERROR\r\n", {"Recieved:\r\nERROR\r\n", "", err}, 30, 32s},
        {Modem(Silent, 0ms), "", {"Timed out. No response from Modem"}, 30, 90s},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.received);
        SendRig r(row.modem);
        r.port.open();
        r.port.rx = "stale";         // cleared, never read
        r.gw.state.Connected = true; // stale from an earlier call
        DialSMSCenter(r.gw, "  0 123 456   ");
        EXPECT_EQ(r.gw.state.Connected, row.modem.modem.result == Connect);
        ASSERT_GE(r.port.calls.size(), 5u);
        EXPECT_EQ(std::vector<std::string>(r.port.calls.begin(), r.port.calls.begin() + 5),
                  (std::vector<std::string>{"open", "close", "open", "clearInput", "write"}));
        EXPECT_EQ(r.port.written, "ATDT0 123 456\r");
        EXPECT_EQ(r.gw.state.ReceiveBuffer, row.received);
        EXPECT_EQ(r.master(), row.master);
        EXPECT_EQ(r.t.world.pauses.size(), row.pauses);
        EXPECT_EQ(r.t.world.beeps, row.modem.modem.result == Error ? 1 : 0);
        EXPECT_EQ(r.t.world.elapsed(), row.elapsed);
    }
}

TEST(Dial, PortFailureGivesExactlyOneErr0003AndNoWait)
{
    for (const char *op : {"open", "close", "clearInput", "write"}) {
        SCOPED_TRACE(op);
        TestGateway t;
        ConnectConsoleTimers(t.gw);
        if (op == std::string("close"))
            t.port.open();
        t.port.failAlways(op, Failure{2, "No such file or directory"});
        DialSMSCenter(t.gw, "5550100");
        EXPECT_EQ(t.readFile("Master.Log"), "06/12/2026 12:00:00: Err-0003:Dialing Error\r"
                                            "Error:2-No such file or directory/False\r\n");
        EXPECT_EQ(t.port.written, "");
        EXPECT_EQ(t.world.elapsed(), 0ms);
        EXPECT_FALSE(t.sec10.isEnabled());
    }
}

// sec10 is left running after an answered dial. A later dial restarts it, so
// its answer wait lasts a full interval whatever the timer's old phase.
TEST(Dial, SecondDialGetsAFullAnswerWait)
{
    SendRig r(Modem(DialResult::Connect, 20s));
    DialSMSCenter(r.gw, "5550100"); // sec10 enabled at 0 s, answered at 20 s
    r.port.close();
    r.gw.state.Connected = false;
    r.gw.state.ReceiveBuffer.clear();
    r.t.world.after(30s, [] {});
    r.t.world.pump(); // idle until 50 s; the old phase would tick at 60 s
    DialSMSCenter(r.gw, "5550100");
    EXPECT_TRUE(r.gw.state.Connected);
    EXPECT_EQ(r.logged("Timed out"), 0); // the old phase ends the wait at 60 s
    EXPECT_EQ(r.t.world.elapsed(), 70s);
}

} // namespace
} // namespace qm::test
