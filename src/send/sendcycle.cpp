#include "send/sendcycle.h"

#include "log/writelog.h"
#include "pure/controlchars.h"
#include "pure/protocols.h"
#include "send/messagefile.h"
#include "send/sendtap.h"
#include "send/senducp.h"

#include <exception>
#include <system_error>

namespace qm
{
namespace
{

// Sets a flag for as long as it lives, however the scope is left.
class FlagScope
{
public:
    explicit FlagScope(bool &flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope &) = delete;
    FlagScope &operator=(const FlagScope &) = delete;

private:
    bool &flag_;
};

// One message's way: read it (a test message comes from the arguments),
// hand it to the protocol chosen on the console, and dispose of its file by
// the outcome the protocol reports.
void sendOne(Gateway &gw, const std::string &recipient, const std::string &messageText,
             const std::string &fileName)
{
    const bool ucp = IsUCP(gw.fields.protocol());
    OutboxMessage m;
    if (gw.state.TestMode) {
        m = {recipient, messageText.empty() ? std::string("Test Message") : messageText};
    } else if (auto read =
                   ReadMessageFile(gw, fileName, ucp ? FieldTyping::Typed : FieldTyping::Text)) {
        m = std::move(*read);
    } else {
        return; // logged; the file stays, found out before any call
    }
    const SendOutcome outcome = ucp ? SendUCPSMS(gw, m) : SendTAPSMS(gw, m);
    if (gw.state.TestMode)
        return;
    if (outcome == SendOutcome::Done)
        DeleteMessageFile(gw, fileName);
    else if (outcome == SendOutcome::PassOver)
        PassOverMessageFile(gw, fileName);
    else if (outcome == SendOutcome::Unlogged)
        KeepUnloggedMessageFile(gw, fileName);
}

// After an automatic message: end the call, and leave no port open.
void hangUp(Gateway &gw)
{
    GatewayState &st = gw.state;
    if (st.Connected) {
        // A refused "ATH" is no reason to stop: closing the port drops DTR,
        // which ends the call as well.
        (void)gw.port.write("ATH");
        st.Connected = false;
        (void)gw.port.close();
        st.TapLoggedIn = false;
    } else if (gw.port.isOpen()) {
        // A failed dial leaves the port open; a modem still dialling would
        // otherwise bring up a call nobody hangs up.
        (void)gw.port.close();
        st.TapLoggedIn = false;
    }
}

// The loop ends (automatic sending still reads as on). A call it was in
// the middle of is ended, or it would stay up with nobody to hang it up.
void logUnexpected(Gateway &gw, const Failure &failure)
{
    WriteLog(gw, LogTarget::BothLogs,
             std::string("Err-0001:Error occured in sending SMS. Please Check SMS Settings and "
                         "retry again") +
                 FailureSuffix(failure));
    if (!gw.state.TestMode)
        hangUp(gw);
}

SendCycleResult automaticLoop(Gateway &gw)
{
    GatewayState &st = gw.state;
    if (gw.fields.smsCenterNumber().empty()) {
        WriteLog(gw, LogTarget::MasterLog, "SMS Center Number not optional");
        WriteLog(gw, LogTarget::StatusLine, "SMS Center Number not optional");
        return SendCycleResult::Done;
    }
    FlagScope running(st.SendCycleRunning);
    while (st.AutoSending) {
        if (const auto name = PickMessageFile(gw)) {
            FlagScope exchange(st.ExchangeInProgress);
            sendOne(gw, {}, {}, *name);
            hangUp(gw);
        }
        WaitSeconds(gw, 1);
    }
    return SendCycleResult::Done;
}

} // namespace

SendCycleResult SendPendingSMS(Gateway &gw, std::string &recipient, std::string &messageText)
{
    GatewayState &st = gw.state;
    if (st.ExchangeInProgress) {
        if (!st.TestMode && st.SendCycleRunning)
            return SendCycleResult::LoopRunning;
        gw.status.setText(st.TestMode ? ExchangeBusyText : StartsAfterTestText);
        return SendCycleResult::ExchangeBusy;
    }
    if (!st.TestMode && !st.AutoSending)
        return SendCycleResult::Done;
    if (!st.TestMode && st.SendCycleRunning)
        return SendCycleResult::LoopRunning;
    try {
        if (st.TestMode) {
            FlagScope exchange(st.ExchangeInProgress);
            sendOne(gw, recipient, messageText, {});
            return SendCycleResult::Done;
        }
        return automaticLoop(gw);
    } catch (const std::system_error &e) {
        logUnexpected(gw, {e.code().value(), e.what()});
    } catch (const std::exception &e) {
        logUnexpected(gw, {0, e.what()});
    } catch (...) {
        logUnexpected(gw, {0, "unknown failure"});
    }
    return SendCycleResult::Done;
}

void WaitSeconds(Gateway &gw, short n)
{
    using namespace std::chrono;
    // Whole-second resolution: the pause ends at the (n+1)th boundary.
    const TimePoint end = floor<seconds>(gw.clock.now()) + seconds(n + 1);
    do
        gw.pump.pump(end);
    while (gw.clock.now() < end);
}

} // namespace qm
