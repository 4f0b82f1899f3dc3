#pragma once

#include "core/gateway.h"
#include "pure/message.h"

namespace qm
{

// Delivering one message by UCP over the data call. What no call could
// deliver is refused first: an unsupported operation type (Err-0008, with its
// box; Retry, so the message waits for the setting to be mended) and a frame
// too long for LEN (PassOver). Then a call is made sure of (Retry without
// one), the frame built, logged and written, and what the centre answers
// logged for one second: the answer is logged, not judged (Done). A write
// that failed gives Retry; a call gone before the write Done, with the text
// in the logs. Where no log could take the text, only a positive answer of
// the centre lets the file go (Unlogged otherwise). No hang-up: the send
// cycle does that.
SendOutcome SendUCPSMS(Gateway &gw, const OutboxMessage &m);

} // namespace qm
