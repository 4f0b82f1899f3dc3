#pragma once
// Delivering one message by TAP: a call made sure of and a login done when
// needed (Retry without either), then, once the centre's go-ahead ("[p") is
// in ReceiveBuffer (after a fresh login it is waited for up to 10 s), one
// block written and what the centre answers logged until the next sec1
// tick: the answer is logged, not judged (Done). No go-ahead or a failed
// write gives Retry; a call gone before the block Done, with the text in the
// logs. Where no log could take the text, only the centre's ACK lets the
// file go (Unlogged otherwise). No hang-up: the send cycle does that.

#include "core/gateway.h"
#include "pure/message.h"

namespace qm
{

SendOutcome SendTAPSMS(Gateway &gw, const OutboxMessage &m);

} // namespace qm
