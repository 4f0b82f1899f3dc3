#include "send/senducp.h"

#include "log/writelog.h"
#include "modem/waits.h"
#include "pure/centreanswer.h"
#include "pure/controlchars.h"
#include "pure/ucpframe.h"
#include "send/ensurecall.h"

namespace qm
{
namespace
{

// Err-0004 to Err-0007, by operation type.
std::string portClosedCode(const std::string &operationType)
{
    const char *digit = operationType == "01"   ? "4"
                        : operationType == "03" ? "5"
                        : operationType == "30" ? "6"
                                                : "7";
    return std::string("Err-000") + digit + ":Port closed Prematurely";
}

std::string numberAndMessage(const OutboxMessage &m)
{
    return std::string(1, Ctl::CR) + "Number: " + m.Recipient + Ctl::CR +
           "Message:" + m.MessageText;
}

} // namespace

SendOutcome SendUCPSMS(Gateway &gw, const OutboxMessage &m)
{
    GatewayState &st = gw.state;
    // What does not need the line is settled before a call is paid for.
    const std::string operationType = gw.fields.operationType();
    if (!IsSupportedUCPOperation(operationType)) {
        // A settings problem, not a bad message: it waits for a fix instead
        // of being thrown away, and the logs say why.
        const std::string text = "Err-0008:Operation not supported in this version";
        WriteLog(gw, LogTarget::BothLogs, text + numberAndMessage(m));
        gw.notifier.message(gw.programName, text, NoticeIcon::None);
        return SendOutcome::Retry;
    }
    const auto framed =
        BuildUCPFrame(operationType, m.Recipient, m.MessageText, gw.fields.authenticationCode(),
                      gw.fields.legitimizationCode());
    if (framed && framed->size() - 2 > MaxUCPFrameCount) {
        // LEN has five digits: no centre can take this frame, on any pass.
        WriteLog(gw, LogTarget::BothLogs,
                 "Message too long for one UCP frame. It is passed over until the gateway is "
                 "restarted." +
                     numberAndMessage(m));
        return SendOutcome::PassOver;
    }

    if (!EnsureCall(gw, "Could not dial SMS Center. Please Check SMS Center number and modem "
                        "Settings and try again"))
        return SendOutcome::Retry;

    // The codes as they read now: a change during the dial applies to this frame.
    const std::string frame =
        *BuildUCPFrame(operationType, m.Recipient, m.MessageText, gw.fields.authenticationCode(),
                       gw.fields.legitimizationCode());
    // Whether a log holds the message's text (the frame carries it in IA5).
    bool logged =
        WriteLog(gw, LogTarget::BothLogs, "Message encoded as : " + ShowControlChars(frame));

    if (!st.Connected) {
        logged =
            WriteLog(gw, LogTarget::BothLogs, "Message could not be sent:" + numberAndMessage(m)) ||
            logged;
        return AfterAttempt(false, logged);
    }
    if (!gw.port.isOpen()) {
        logged = WriteLog(gw, LogTarget::BothLogs,
                          portClosedCode(operationType) + numberAndMessage(m)) ||
                 logged;
        return AfterAttempt(false, logged);
    }
    MaybeFailure failed = gw.port.clearInput();
    // The clear may have thrown away a "NO CARRIER" no event announced yet;
    // the port read it for the carrier first. A frame written now would go
    // to a modem in command mode.
    const bool dropped = !failed && !gw.port.carrierDetect();
    if (!failed && !dropped)
        failed = gw.port.write(frame);
    if (failed) {
        WriteLog(gw, LogTarget::BothLogs,
                 std::string("Error Occured in UCP SMS sending. Please recheck paramters and "
                             "retry again.") +
                     Ctl::CR + failed->description);
        return SendOutcome::Retry;
    }
    if (dropped) {
        st.Connected = false;
        logged =
            WriteLog(gw, LogTarget::BothLogs, "Message could not be sent:" + numberAndMessage(m)) ||
            logged;
        return AfterAttempt(false, logged);
    }
    gw.status.setText("Message sent");
    logged =
        WriteLog(gw, LogTarget::BothLogs, "Message Sent: " + ShowControlChars(frame)) || logged;
    // A full second from now, even if a TAP wait left sec1 running.
    gw.timers.sec1.setEnabled(false);
    const std::string answer = ListenForResponses(gw);
    gw.timers.sec1.setEnabled(false);
    st.WaitSec1 = false;
    return AfterAttempt(UCPAnswerAccepts(answer, operationType), logged);
}

} // namespace qm
