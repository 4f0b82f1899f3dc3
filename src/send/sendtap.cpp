#include "send/sendtap.h"

#include "log/writelog.h"
#include "modem/waits.h"
#include "pure/centreanswer.h"
#include "pure/controlchars.h"
#include "pure/tapblock.h"
#include "send/ensurecall.h"
#include "send/taplogin.h"

namespace qm
{
namespace
{

// The centre's response time-out (T3 of the timing table of TAP 1.8): how
// long a centre may take to send the go-ahead after it accepted the login.
constexpr std::chrono::seconds GoAheadLimit{10};

} // namespace

SendOutcome SendTAPSMS(Gateway &gw, const OutboxMessage &m)
{
    GatewayState &st = gw.state;
    if (!EnsureCall(gw, "Err-0009: Could not dial SMS Center. Please Check SMS Center number and "
                        "modem Settings and try again"))
        return SendOutcome::Retry;

    const bool freshLogin = !st.TapLoggedIn;
    if (freshLogin)
        TAPLogin(gw);
    if (!st.TapLoggedIn) {
        WriteLog(gw, LogTarget::BothLogs,
                 "Err-0016:TAP Login Failed. Please Check the SMS Center Number, Password, Modem "
                 "Speed Settings and whether the Center supports TAP.");
        return SendOutcome::Retry;
    }

    // A centre may send its go-ahead some time after the login's ACK; a call
    // that carried a message already has had its go-ahead used up.
    if (freshLogin)
        WaitForReceived(gw, "[p", GoAheadLimit);
    if (st.ReceiveBuffer.find("[p") == std::string::npos) {
        // Nothing was sent, so the message waits for the next call.
        WriteLog(gw, LogTarget::BothLogs,
                 std::string("The SMS Center gave no go-ahead after the TAP login. Message kept "
                             "for the next try.") +
                     Ctl::CR + "Number: " + m.Recipient);
        return SendOutcome::Retry;
    }

    const std::string block = BuildTAPBlock(m.Recipient, m.MessageText);
    // Whether a log holds the message's text.
    bool logged =
        WriteLog(gw, LogTarget::BothLogs, "Message encoded as : " + ShowControlChars(block));
    if (!st.Connected) {
        logged = WriteLog(gw, LogTarget::BothLogs,
                          std::string("Err-0017:Message could not be sent:") + Ctl::CR +
                              "Number: " + m.Recipient + Ctl::CR + "Message:" + m.MessageText) ||
                 logged;
        return AfterAttempt(false, logged);
    }
    // The login's ACK and the go-ahead are still in the buffer: the block's
    // own answer is what comes after them.
    const std::size_t before = st.ReceiveBuffer.size();
    if (const MaybeFailure failed = gw.port.write(block)) {
        WriteLog(gw, LogTarget::EventsLog,
                 std::string("Error Occured in TAP SMS sending. Please recheck paramters and "
                             "retry again.") +
                     Ctl::CR + failed->description);
        return SendOutcome::Retry;
    }
    gw.status.setText("Message sent");
    logged =
        WriteLog(gw, LogTarget::BothLogs, "Message Sent: " + ShowControlChars(block)) || logged;
    const std::string answer = ListenForResponses(gw); // sec1 is left running
    gw.status.setText("Message Sent");
    return AfterAttempt(
        TAPAnswerAccepts(std::string_view(answer).substr(std::min(before, answer.size()))), logged);
}

} // namespace qm
