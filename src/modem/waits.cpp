#include "modem/waits.h"

#include "log/writelog.h"

namespace qm
{
namespace
{

template <typename AfterPump> void waitForTick(Gateway &gw, AfterPump afterPump)
{
    GatewayState &st = gw.state;
    st.WaitSec1 = true;
    gw.timers.sec1.setEnabled(true);
    while (st.WaitSec1) {
        gw.pump.pump();
        afterPump();
    }
}

} // namespace

void ServePendingEvents(Gateway &gw)
{
    constexpr int Rounds = 3;
    for (int round = 0; round < Rounds; ++round)
        gw.pump.pump(gw.clock.now());
}

bool WaitForReceived(Gateway &gw, std::string_view text, std::chrono::milliseconds limit)
{
    const GatewayState &st = gw.state;
    const TimePoint deadline = gw.clock.now() + limit;
    const auto arrived = [&] { return st.ReceiveBuffer.find(text) != std::string::npos; };
    while (!arrived() && st.Connected && gw.port.isOpen() && gw.clock.now() < deadline)
        gw.pump.pump(deadline);
    return arrived();
}

void WaitForSec1Tick(Gateway &gw)
{
    waitForTick(gw, [] {});
}

std::string ListenForResponses(Gateway &gw)
{
    std::string all;
    waitForTick(gw, [&gw, &all] {
        if (gw.state.ReceiveBuffer.empty())
            return;
        // Taken before logging: a log failure's box pumps events, and text
        // arriving meanwhile belongs to the next entry.
        std::string received;
        received.swap(gw.state.ReceiveBuffer);
        all += received;
        WriteLog(gw, LogTarget::BothLogs, "Response to message recieved:" + received);
    });
    return all;
}

} // namespace qm
