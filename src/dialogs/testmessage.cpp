#include "dialogs/testmessage.h"

namespace qm
{

SendCycleResult SendTestMessage(Gateway &gw, const std::string &number)
{
    bool &testMode = gw.state.TestMode;
    testMode = true;
    std::string recipient = number;
    std::string text(TestMessageText);
    SendCycleResult result = SendCycleResult::Done;
    try {
        result = SendPendingSMS(gw, recipient, text);
    } catch (...) {
        // The send cycle catches its own failures; this is only the promise
        // that test mode never outlives the attempt.
    }
    testMode = false;
    return result;
}

} // namespace qm
