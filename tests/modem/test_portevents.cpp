#include "fakes.h"
#include "modem/portevents.h"

#include <gtest/gtest.h>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;

const std::string Stamp = "06/12/2026 12:00:00";

std::string entry(const std::string &message, const std::string &stamp = Stamp)
{
    return stamp + ": " + message + "/False\r\n";
}

// A gateway whose fake port raises its events into OnPortEvent.
class PortEvents : public ::testing::Test
{
protected:
    PortEvents()
    {
        t.port.setEventHandler([this](int code) { OnPortEvent(t.gw, code); });
    }
    TestGateway t;
};

TEST(PortEventCodes, OneEntryAndNothingElse)
{
    const std::pair<int, const char *> rows[] = {{PortEvent::CtsChanged, ""},
                                                 {PortEvent::DsrChanged, "comEvDSR"},
                                                 {PortEvent::Ring, ""},
                                                 {PortEvent::Break, "Break"},
                                                 {PortEvent::Framing, "Framing"},
                                                 {PortEvent::Overrun, "Overrun"},
                                                 {PortEvent::RxOverflow, "OverFlow"},
                                                 {PortEvent::Parity, "Parity"},
                                                 {PortEvent::TxFull, "TX Full"},
                                                 {PortEvent::DeviceSettings, "DBC"},
                                                 {PortEvent::TransmitDrained, ""},
                                                 {0, ""},
                                                 {-3, ""}};
    for (const auto &[code, text] : rows) {
        SCOPED_TRACE(code);
        TestGateway t;
        t.port.setEventHandler([&t](int c) { OnPortEvent(t.gw, c); });
        t.gw.state.ReceiveBuffer = "earlier";
        t.port.rx = "waiting";
        t.port.carrier = true;
        t.port.pendingOut = 3; // stale count of a closed port: a drain event must not wait
        t.port.raise(code);
        EXPECT_EQ(t.readFile("Master.Log"), entry(text));
        EXPECT_EQ(t.gw.state.ReceiveBuffer, "earlier");
        EXPECT_EQ(t.port.rx, "waiting"); // not read
        EXPECT_FALSE(t.gw.state.Connected);
        EXPECT_TRUE(t.notifier.notices.empty());
        EXPECT_EQ(t.world.pumps, 0);
    }
}

TEST_F(PortEvents, DataIsAppendedLoggedRawFollowedByAnEmptyEntryAndInterpreted)
{
    t.gw.state.ReceiveBuffer = "ATDT1\r";
    t.port.rx = "\r\nBUSY\r\n";
    t.port.raise(PortEvent::DataReceived);

    EXPECT_EQ(t.gw.state.ReceiveBuffer, "ATDT1\r\r\nBUSY\r\n");
    EXPECT_EQ(t.port.rx, "");
    EXPECT_EQ(t.readFile("Master.Log"), entry("Recieved:\r\nBUSY\r\n") + entry(""));
    ASSERT_EQ(t.notifier.notices.size(), 1u);
    EXPECT_EQ(t.notifier.notices[0].text, "The number is busy.  Please try again later.");
}

TEST_F(PortEvents, PiecesGiveOneEntryEachAndConcatenate)
{
    t.port.open();
    t.port.receiveAfter(1000ms, "CONN");
    t.port.receiveAfter(2000ms, "ECT 9600\r\n");

    t.world.pump();
    EXPECT_FALSE(t.gw.state.Connected);
    t.world.pump();
    EXPECT_TRUE(t.gw.state.Connected);
    EXPECT_EQ(t.status.text(), "Connected");
    EXPECT_EQ(t.gw.state.ReceiveBuffer, "CONNECT 9600\r\n");
    EXPECT_EQ(t.readFile("Master.Log"), entry("Recieved:CONN", "06/12/2026 12:00:01") +
                                            entry("", "06/12/2026 12:00:01") +
                                            entry("Recieved:ECT 9600\r\n", "06/12/2026 12:00:02") +
                                            entry("", "06/12/2026 12:00:02"));
}

TEST_F(PortEvents, TransmitDrainedPumpsUntilQueueEmptyServingNestedEvents)
{
    t.port.open();
    t.port.pendingOut = 12;
    t.world.after(100ms, [&] { t.port.pendingOut = 4; });
    t.port.receiveAfter(150ms, "OK\r\n");
    t.world.after(200ms, [&] { t.port.pendingOut = 0; });
    t.world.after(5000ms, [] {}); // must not be reached

    t.port.raise(PortEvent::TransmitDrained);
    EXPECT_EQ(t.world.elapsed(), 200ms);
    EXPECT_EQ(t.world.pumps, 3);
    // The nested data event logs before the drain event's own entry.
    EXPECT_EQ(t.readFile("Master.Log"), entry("Recieved:OK\r\n") + entry("") + entry(""));
}

} // namespace
} // namespace qm::test
