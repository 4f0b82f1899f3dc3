#pragma once
// The TAP login dialogue on the current call: prompt with CRs (at most four,
// one sec1 tick apart) until the centre asks "ID=", then send ESC "PG1"
// password CR (only while the carrier is there) and look for ACK (accepted,
// wins over NAK) or NAK. The outcome is TapLoggedIn; giving up hangs up with
// "ATH" and clears Connected.
// ReceiveBuffer is searched, never emptied, so an earlier "ID=" or ACK on
// the same call counts at once.

#include "core/gateway.h"

namespace qm
{

void TAPLogin(Gateway &gw);

} // namespace qm
