#include "commands/testmessage.h"

#include <utility>

namespace qm
{

SendCycleResult SendTestMessage(Gateway &gw, const std::string &number)
{
    // A second Send refused while the first is still dialling must not take
    // the first one's test mode away.
    const bool outer = std::exchange(gw.state.TestMode, true);
    std::string recipient = number;
    std::string text(TestMessageText);
    SendCycleResult result = SendCycleResult::Done;
    try {
        result = SendPendingSMS(gw, recipient, text);
    } catch (...) {
        // The send cycle catches its own failures; this is only the promise
        // that test mode never outlives the attempt.
    }
    gw.state.TestMode = outer;
    return result;
}

} // namespace qm
