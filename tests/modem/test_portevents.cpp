#include "fakes.h"
#include "modem/portevents.h"

#include <gtest/gtest.h>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;

std::string Entry(const std::string &message)
{
    return "06/12/2026 12:00:00: " + message + "/False\r\n";
}

TEST(PortEvents, CodesOtherThanDataLogOneEntryAndNothingElse)
{
    std::vector<std::pair<int, std::string>> rows = {
        {PortEvent::DsrChanged, "comEvDSR"}, {PortEvent::Break, "Break"},
        {PortEvent::Framing, "Framing"},     {PortEvent::Overrun, "Overrun"},
        {PortEvent::RxOverflow, "OverFlow"}, {PortEvent::Parity, "Parity"},
        {PortEvent::TxFull, "TX Full"},      {PortEvent::DeviceSettings, "DBC"}};
    for (int code : {PortEvent::CtsChanged, PortEvent::Ring, PortEvent::TransmitDrained, 0, -3})
        rows.emplace_back(code, "");
    for (const auto &[code, text] : rows) {
        SCOPED_TRACE(code);
        TestGateway t;
        t.gw.state.ReceiveBuffer = "earlier";
        t.port.rx = "waiting";
        t.port.carrier = true;
        t.port.pendingOut = 3; // stale count of a closed port: a drain event must not wait
        OnPortEvent(t.gw, code);
        EXPECT_EQ(t.readFile("Master.Log"), Entry(text));
        EXPECT_EQ(t.gw.state.ReceiveBuffer, "earlier");
        EXPECT_EQ(t.port.rx, "waiting"); // not read
        EXPECT_FALSE(t.gw.state.Connected);
        EXPECT_TRUE(t.notifier.notices.empty());
        EXPECT_EQ(t.world.pumps, 0);
    }
}

TEST(PortEvents, TransmitDrainedPumpsUntilQueueEmptyServingNestedEvents)
{
    TestGateway t;
    t.port.setEventHandler([&t](int code) { OnPortEvent(t.gw, code); });
    t.port.open();
    t.port.pendingOut = 12;
    t.world.after(100ms, [&] { t.port.pendingOut = 4; });
    t.port.receiveAfter(150ms, "OK\r\n");
    t.world.after(200ms, [&] { t.port.pendingOut = 0; });
    t.world.after(5000ms, [] {}); // must not be reached

    t.port.raise(PortEvent::TransmitDrained);
    EXPECT_EQ(t.world.elapsed(), 200ms);
    // The nested data event logs before the drain event's own entry.
    EXPECT_EQ(t.readFile("Master.Log"), Entry("Recieved:OK\r\n") + Entry("") + Entry(""));
}

} // namespace
} // namespace qm::test
