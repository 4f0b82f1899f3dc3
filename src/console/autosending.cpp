#include "console/autosending.h"

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

SendCycleResult PressStartSendSMS(Gateway &gw, const std::string &caption,
                                  const SetCaption &setCaption)
{
    if (caption == StartSendingCaption) {
        setCaption(StopSendingCaption);
        gw.state.AutoSending = true;
        std::string recipient, message;
        return SendPendingSMS(gw, recipient, message);
    }
    setCaption(StartSendingCaption);
    StopAutomaticSending(gw);
    return SendCycleResult::Done;
}

} // namespace qm
