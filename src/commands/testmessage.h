#pragma once
// The manual test message: one run of the send cycle in test mode with the
// number as typed and a fixed text. No widget types here: frmTestSMS calls it.

#include "send/sendcycle.h"

#include <string>
#include <string_view>

namespace qm
{

inline constexpr std::string_view TestMessageText = "Korvane Test Message";

// TestMode is True for the attempt and as before afterwards (False after a
// Send from the dialog), whatever happened. ExchangeBusy when a message exchange was already under
// way (the send cycle said so on the status line and sent nothing).
SendCycleResult SendTestMessage(Gateway &gw, const std::string &number);

} // namespace qm
