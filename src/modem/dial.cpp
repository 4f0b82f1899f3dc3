#include "modem/dial.h"

#include "core/text.h"
#include "log/controlchars.h"
#include "log/writelog.h"

#include <chrono>

namespace qm
{
namespace
{

constexpr int CarrierWaitPauses = 30;
constexpr std::chrono::milliseconds CarrierPause{1000};

void logDialFailure(Gateway &gw, const Failure &f)
{
    WriteLog(gw, LogTarget::MasterLog,
             std::string("Err-0003:Dialing Error") + Ctl::CR + "Error:" + std::to_string(f.code) +
                 "-" + f.description);
}

// Re-opens the port, clears what it holds and writes the dial command.
MaybeFailure startDial(Gateway &gw, const std::string &command)
{
    if (gw.port.isOpen())
        if (auto f = gw.port.close())
            return f;
    if (auto f = gw.port.open())
        return f;
    if (auto f = gw.port.clearInput())
        return f;
    return gw.port.write(command);
}

} // namespace

void DialSMSCenter(Gateway &gw, std::string number)
{
    const std::string command = "ATDT" + std::string(TrimSpaces(number)) + Ctl::CR;
    if (auto f = startDial(gw, command)) {
        logDialFailure(gw, *f);
        return;
    }

    GatewayState &st = gw.state;
    Timer &sec10 = gw.timers.sec10;
    st.WaitSec10 = true;
    // sec10 keeps running after an answered dial; enabling a running timer
    // keeps its phase, so restart it to give this dial its full interval.
    sec10.setEnabled(false);
    sec10.setEnabled(true);

    for (;;) {
        // Text already waiting counts as the answer at once: serve what is
        // pending without blocking for the next happening.
        if (st.ReceiveBuffer.empty())
            gw.pump.pump();
        else
            gw.pump.pump(gw.clock.now());
        if (!st.ReceiveBuffer.empty()) {
            if (st.ReceiveBuffer.find("ERR") != std::string::npos) {
                gw.clock.beep();
                WriteLog(gw, LogTarget::MasterLog,
                         "Err-0002:An error occured while dialing number");
            } else {
                st.Connected = true;
            }
            break;
        }
        if (!st.WaitSec10) {
            sec10.setEnabled(false);
            st.Connected = false;
            st.WaitSec10 = false;
            WriteLog(gw, LogTarget::MasterLog, "Timed out. No response from Modem");
            break;
        }
    }

    // Blocking on purpose: nothing is served until the carrier is up or 30 s
    // have passed, but a request to end the program is honoured after each pause.
    for (int count = 0; count < CarrierWaitPauses && !gw.port.carrierDetect(); ++count) {
        gw.clock.pause(CarrierPause);
        if (gw.serveEndRequest)
            gw.serveEndRequest();
    }
    st.Connected = gw.port.carrierDetect();
}

} // namespace qm
