#include "ucp/senducp.h"

#include "log/controlchars.h"
#include "log/writelog.h"
#include "modem/dial.h"
#include "modem/waits.h"
#include "outbox/messagefile.h"
#include "ucp/builducpframe.h"

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

void SendUCPSMS(Gateway &gw, const std::string &recipient, const std::string &messageText,
                const std::string &fileName)
{
    GatewayState &st = gw.state;
    if (!st.Connected)
        DialSMSCenter(gw, gw.fields.smsCenterNumber());
    if (!st.Connected) {
        WriteLog(gw, LogTarget::BothLogs,
                 "Could not dial SMS Center. Please Check SMS Center number and modem Settings "
                 "and try again");
        return;
    }

    OutboxMessage m;
    if (st.TestMode) {
        m = {recipient, messageText.empty() ? std::string("Test Message") : messageText};
    } else if (auto read = ReadMessageFile(gw, fileName, FieldTyping::Typed)) {
        m = std::move(*read);
    } else {
        return; // logged; the file stays
    }

    const std::string operationType = gw.fields.operationType();
    if (!IsSupportedUCPOperation(operationType)) {
        // A settings problem, not a bad message: the file waits for a fix
        // instead of being thrown away, and the logs say why.
        const std::string text = "Err-0008:Operation not supported in this version";
        WriteLog(gw, LogTarget::BothLogs, text + numberAndMessage(m));
        gw.notifier.message(gw.programName, text, NoticeIcon::None);
        return;
    }

    const std::string frame =
        BuildUCPFrame(gw, operationType, m.Recipient, m.MessageText, gw.fields.authenticationCode(),
                      gw.fields.legitimizationCode());
    WriteLog(gw, LogTarget::BothLogs, "Message encoded as : " + ShowControlChars(frame));

    if (!st.Connected) {
        WriteLog(gw, LogTarget::BothLogs, "Message could not be sent:" + numberAndMessage(m));
    } else if (!gw.port.isOpen()) {
        WriteLog(gw, LogTarget::BothLogs, portClosedCode(operationType) + numberAndMessage(m));
    } else {
        MaybeFailure failed = gw.port.clearInput();
        if (!failed)
            failed = gw.port.write(frame);
        if (failed) {
            WriteLog(gw, LogTarget::BothLogs,
                     std::string("Error Occured in UCP SMS sending. Please recheck paramters and "
                                 "retry again.") +
                         Ctl::CR + failed->description);
            return;
        }
        gw.status.setText("Message sent");
        WriteLog(gw, LogTarget::BothLogs, "Message Sent: " + ShowControlChars(frame));
        // A full second from now, even if a TAP wait left sec1 running.
        gw.timers.sec1.setEnabled(false);
        ListenForResponses(gw);
        gw.timers.sec1.setEnabled(false);
        st.WaitSec1 = false;
    }
    DeleteMessageFile(gw, fileName);
}

} // namespace qm
