#include "commands/autosending.h"

#include <utility>

namespace qm
{

void StopAutomaticSending(Gateway &gw)
{
    GatewayState &st = gw.state;
    st.Connected = false;
    st.TapLoggedIn = false;
    if (gw.port.isOpen())
        (void)gw.port.close();
    st.AutoSending = false;
}

SendCycleResult RunAutomaticSending(Gateway &gw)
{
    const bool outer = std::exchange(gw.state.TestMode, false);
    std::string recipient, message;
    const SendCycleResult result = SendPendingSMS(gw, recipient, message);
    gw.state.TestMode = outer;
    return result;
}

SendCycleResult PressStartSendSMS(Gateway &gw, const std::string &caption,
                                  const SetCaption &setCaption)
{
    if (caption == StartSendingCaption) {
        setCaption(StopSendingCaption);
        gw.state.AutoSending = true;
        return RunAutomaticSending(gw);
    }
    setCaption(StartSendingCaption);
    StopAutomaticSending(gw);
    return SendCycleResult::Done;
}

} // namespace qm
