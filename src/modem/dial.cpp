#include "modem/dial.h"

#include "log/writelog.h"
#include "modem/waits.h"
#include "pure/controlchars.h"
#include "pure/modemanswers.h"
#include "pure/text.h"

#include <chrono>

namespace qm
{
namespace
{

constexpr int CarrierWaitPauses = 30;
constexpr std::chrono::milliseconds CarrierPause{1000};

void logDialFailure(Gateway &gw, const Failure &f)
{
    WriteLog(gw, LogTarget::MasterLog, "Err-0003:Dialing Error" + FailureSuffix(f));
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
    GatewayState &st = gw.state;
    BeginCall(st);
    const std::string command = "ATDT" + std::string(TrimSpaces(number)) + Ctl::CR;
    if (auto f = startDial(gw, command)) {
        logDialFailure(gw, *f);
        return;
    }

    Timer &sec10 = gw.timers.sec10;
    st.WaitSec10 = true;
    // sec10 keeps running after an answered dial; enabling a running timer
    // keeps its phase, so restart it to give this dial its full interval.
    sec10.setEnabled(false);
    sec10.setEnabled(true);

    bool answered = false;
    for (;;) {
        gw.pump.pump();
        if (!st.ReceiveBuffer.empty()) {
            answered = true;
            if (DialAnswerIsError(st.ReceiveBuffer)) {
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
    // A modem that never answered placed no call, whatever its carrier line
    // reads (a bare port, a modem that forces carrier detect on).
    st.Connected = answered && gw.port.carrierDetect();
    // What the modem said during the blocking wait ("BUSY", "NO CARRIER" ...)
    // is served before the caller reports the failed dial and the port closes
    // with it: its entry and its box tell the operator why.
    if (!st.Connected)
        ServePendingEvents(gw);
}

} // namespace qm
