#include "commands/endprogram.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace qm
{

void TerminateNow(int status)
{
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(status);
}

void EndProcess(Gateway &gw, const Terminate &terminate)
{
    GatewayState &st = gw.state;
    st.AutoSending = false;
    st.Connected = false;
    st.TapLoggedIn = false;
    if (gw.port.isOpen())
        (void)gw.port.close();
    if (terminate)
        terminate(0);
    else
        TerminateNow(0);
}

} // namespace qm
