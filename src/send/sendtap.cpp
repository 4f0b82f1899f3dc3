#include "send/sendtap.h"

#include "log/writelog.h"
#include "modem/waits.h"
#include "pure/controlchars.h"
#include "pure/tapblock.h"
#include "send/ensurecall.h"
#include "send/taplogin.h"

namespace qm
{

SendOutcome SendTAPSMS(Gateway &gw, const OutboxMessage &m)
{
    GatewayState &st = gw.state;
    if (!EnsureCall(gw, "Err-0009: Could not dial SMS Center. Please Check SMS Center number and "
                        "modem Settings and try again"))
        return SendOutcome::Retry;

    if (!st.TapLoggedIn)
        TAPLogin(gw);
    if (!st.TapLoggedIn) {
        WriteLog(gw, LogTarget::BothLogs,
                 "Err-0016:TAP Login Failed. Please Check the SMS Center Number, Password, Modem "
                 "Speed Settings and whether the Center supports TAP.");
        return SendOutcome::Retry;
    }

    if (st.ReceiveBuffer.find("[p") == std::string::npos) {
        // Nothing was sent, so the message waits for the next call.
        WriteLog(gw, LogTarget::BothLogs,
                 std::string("The SMS Center gave no go-ahead after the TAP login. Message kept "
                             "for the next try.") +
                     Ctl::CR + "Number: " + m.Recipient);
        return SendOutcome::Retry;
    }

    const std::string block = BuildTAPBlock(m.Recipient, m.MessageText);
    WriteLog(gw, LogTarget::BothLogs, "Message encoded as : " + ShowControlChars(block));
    if (!st.Connected) {
        WriteLog(gw, LogTarget::BothLogs,
                 std::string("Err-0017:Message could not be sent:") + Ctl::CR +
                     "Number: " + m.Recipient + Ctl::CR + "Message:" + m.MessageText);
        return SendOutcome::Done;
    }
    if (const MaybeFailure failed = gw.port.write(block)) {
        WriteLog(gw, LogTarget::EventsLog,
                 std::string("Error Occured in TAP SMS sending. Please recheck paramters and "
                             "retry again.") +
                     Ctl::CR + failed->description);
        return SendOutcome::Retry;
    }
    gw.status.setText("Message sent");
    WriteLog(gw, LogTarget::BothLogs, "Message Sent: " + ShowControlChars(block));
    ListenForResponses(gw); // sec1 is left running
    gw.status.setText("Message Sent");
    return SendOutcome::Done;
}

} // namespace qm
