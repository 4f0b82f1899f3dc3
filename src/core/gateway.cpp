#include "core/gateway.h"

namespace qm
{

void ConnectConsoleTimers(Gateway &gw)
{
    // sec1 and sec10 end the routines' waits; the others have no tick handler.
    gw.timers.sec1.setTickHandler([&gw] { gw.state.WaitSec1 = false; });
    gw.timers.sec10.setTickHandler([&gw] { gw.state.WaitSec10 = false; });
}

std::string WithTrailingSeparator(std::string folder)
{
    if (folder.empty() || folder.back() != PathSeparator)
        folder += PathSeparator;
    return folder;
}

void BeginCall(GatewayState &st)
{
    ++st.CallNumber;
    st.ReceiveBuffer.clear();
    st.modemLine = {};
    st.TapLoggedIn = false;
}

} // namespace qm
