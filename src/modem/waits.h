#pragma once
// The one-second waits of the protocol routines: they arm sec1 and pump
// events until its tick clears WaitSec1, so the port events and the
// operator's actions are served meanwhile. sec1 is left running; a caller
// that wants it off stops it.

#include "core/gateway.h"

namespace qm
{

// Serves what is already pending without waiting for anything new. A few
// rounds, because one event may post the next (the port takes in bytes,
// then announces them).
void ServePendingEvents(Gateway &gw);

// Pumps events until `text` is in ReceiveBuffer, the call is gone (Connected
// cleared or the port closed) or `limit` has passed on the steady clock;
// true when the text came. Goes on as soon as it arrives.
bool WaitForReceived(Gateway &gw, std::string_view text, std::chrono::milliseconds limit);

// Until the next tick of sec1 (at most its interval when it already runs).
void WaitForSec1Tick(Gateway &gw);

// The same wait, writing "Response to message recieved:" and the received
// text, raw, to both logs after every pump that left ReceiveBuffer non-empty,
// and emptying ReceiveBuffer each time. Gives everything it took, in order.
std::string ListenForResponses(Gateway &gw);

} // namespace qm
