#include "tap/sendtap.h"

#include "log/controlchars.h"
#include "log/writelog.h"
#include "modem/dial.h"
#include "modem/waits.h"
#include "outbox/messagefile.h"
#include "tap/tapblock.h"
#include "tap/taplogin.h"

namespace qm
{

void SendTAPSMS(Gateway &gw, const std::string &recipient, const std::string &messageText,
                const std::string &fileName)
{
    GatewayState &st = gw.state;
    // A file that cannot be read is found out before a call is paid for.
    OutboxMessage m;
    if (st.TestMode) {
        m = {recipient, messageText.empty() ? std::string("Test Message") : messageText};
    } else if (auto read = ReadMessageFile(gw, fileName, FieldTyping::Text)) {
        m = std::move(*read);
    } else {
        return; // logged; the file stays
    }

    if (!st.Connected)
        DialSMSCenter(gw, gw.fields.smsCenterNumber());
    if (!st.Connected) {
        WriteLog(gw, LogTarget::BothLogs,
                 "Err-0009: Could not dial SMS Center. Please Check SMS Center number and modem "
                 "Settings and try again");
        return;
    }

    if (!st.TapLoggedIn)
        TAPLogin(gw);
    if (!st.TapLoggedIn) {
        WriteLog(gw, LogTarget::BothLogs,
                 "Err-0016:TAP Login Failed. Please Check the SMS Center Number, Password, Modem "
                 "Speed Settings and whether the Center supports TAP.");
        return;
    }

    if (st.ReceiveBuffer.find("[p") == std::string::npos) {
        // Nothing was sent, so the file waits for the next call.
        WriteLog(gw, LogTarget::BothLogs,
                 std::string("The SMS Center gave no go-ahead after the TAP login. Message kept "
                             "for the next try.") +
                     Ctl::CR + "Number: " + m.Recipient);
        return;
    }

    const std::string block = BuildTAPBlock(m.Recipient, m.MessageText);
    WriteLog(gw, LogTarget::BothLogs, "Message encoded as : " + ShowControlChars(block));
    const bool sent = st.Connected;
    if (sent) {
        if (const MaybeFailure failed = gw.port.write(block)) {
            WriteLog(gw, LogTarget::EventsLog,
                     std::string("Error Occured in TAP SMS sending. Please recheck paramters and "
                                 "retry again.") +
                         Ctl::CR + failed->description);
            return;
        }
        gw.status.setText("Message sent");
        WriteLog(gw, LogTarget::BothLogs, "Message Sent: " + ShowControlChars(block));
        ListenForResponses(gw); // sec1 is left running
    } else {
        WriteLog(gw, LogTarget::BothLogs,
                 std::string("Err-0017:Message could not be sent:") + Ctl::CR +
                     "Number: " + m.Recipient + Ctl::CR + "Message:" + m.MessageText);
    }
    DeleteMessageFile(gw, fileName);
    // A dropped call is not reported as a sent message.
    if (sent)
        gw.status.setText("Message Sent");
}

} // namespace qm
