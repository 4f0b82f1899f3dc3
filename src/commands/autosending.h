#pragma once
// The automatic-sending switch, cmdStartSendSMS. Its caption is the state:
// a press reads it and does what it says. Start runs the send cycle inside
// the press (it returns once Stop has been pressed, nested in one of the
// cycle's waits); Stop ends the call at once, without a hang-up command.

#include "core/gateway.h"
#include "send/sendcycle.h"

#include <functional>
#include <string>
#include <string_view>

namespace qm
{

inline constexpr std::string_view StartSendingCaption = "Start Automatic SMS Sending";
inline constexpr std::string_view StopSendingCaption = "Stop Automatic SMS Sending";

using SetCaption = std::function<void(std::string_view)>;

// One press, given the caption it reads. What Start's send cycle returned
// (Done after a Stop press); Done for Stop.
SendCycleResult PressStartSendSMS(Gateway &gw, const std::string &caption,
                                  const SetCaption &setCaption);

// The send cycle in automatic mode, for this call not in test mode (a start
// pressed during a test message is refused without disturbing it). Also what
// the console retries after such a refusal.
SendCycleResult RunAutomaticSending(Gateway &gw);

// The stop half alone (also what a press on "Stop ..." does).
void StopAutomaticSending(Gateway &gw);

} // namespace qm
