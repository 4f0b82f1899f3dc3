#include "send/taplogin.h"

#include "log/writelog.h"
#include "modem/waits.h"
#include "pure/controlchars.h"
#include "send/ensurecall.h"

namespace qm
{
namespace
{

constexpr int MaxRetries = 3;

void logLoginError(Gateway &gw, const char *code, const Failure &f)
{
    WriteLog(gw, LogTarget::MasterLog,
             std::string(code) +
                 ":Error occured in TAP Login. Please recheck parameters and try again." + Ctl::CR +
                 "Error : " + std::to_string(f.code) + "/" + f.description);
}

bool bufferHas(const Gateway &gw, std::string_view what)
{
    return gw.state.ReceiveBuffer.find(what) != std::string::npos;
}

} // namespace

void TAPLogin(Gateway &gw)
{
    GatewayState &st = gw.state;
    int retries = 0;
    if (!EnsureCall(gw, "Err-0010:Could not dial SMS Center. Please Check SMS Center number and "
                        "modem Settings and try again"))
        return;

    for (;;) {
        MaybeFailure failed = gw.port.clearInput();
        if (!failed)
            failed = gw.port.write(std::string(1, Ctl::CR));
        if (failed) {
            logLoginError(gw, "Err-0011", *failed);
            return;
        }
        WaitForSec1Tick(gw);
        gw.timers.sec1.setEnabled(false);
        if (bufferHas(gw, "ID="))
            break;
        if (++retries > MaxRetries) {
            const MaybeFailure hangUp = gw.port.write("ATH");
            st.Connected = false;
            if (hangUp)
                logLoginError(gw, "Err-0015", *hangUp);
            else
                WriteLog(gw, LogTarget::MasterLog,
                         "Err-0014:Number of retries (3) over. Modem hung up.");
            return;
        }
    }

    // A call that dropped during the prompts has left the modem in command
    // mode, which would echo the password back into the log.
    if (!gw.port.carrierDetect()) {
        st.Connected = false;
        return;
    }
    const std::string login =
        std::string(1, Ctl::ESC) + "PG1" + gw.fields.authenticationCode() + Ctl::CR;
    if (const MaybeFailure failed = gw.port.write(login)) {
        logLoginError(gw, "Err-0012", *failed);
        return;
    }
    const unsigned call = st.CallNumber;
    WaitForSec1Tick(gw); // sec1 is left running
    // A login holds for the call it was made on: one ended meanwhile (Stop,
    // a changed port) leaves nothing logged in.
    const bool sameCall = call == st.CallNumber && gw.port.isOpen();
    if (sameCall && bufferHas(gw, std::string_view(&Ctl::ACK, 1)))
        st.TapLoggedIn = true;
    else if (bufferHas(gw, std::string_view(&Ctl::NAK, 1)))
        WriteLog(gw, LogTarget::MasterLog,
                 "Err-0013:Incorrect Login to TAP account: Check password and other settings.");
}

} // namespace qm
