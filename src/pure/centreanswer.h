#pragma once
// Whether what a centre answered to one message says it took the message.
// The gateway logs answers and does not act on them, with one exception: a
// message whose text could not be written to any log is deleted only when
// the centre took it, since otherwise nothing would be left of it.

#include <string_view>

namespace qm
{

// A well-formed UCP result frame among `received`: STX, TRN "01", LEN, "R",
// the operation type sent, "A" (positive acknowledgement), a checksum that
// holds, ETX. A negative one ("N"), half a frame or noise is not.
bool UCPAnswerAccepts(std::string_view received, std::string_view operationType);

// TAP answers a block with ACK (accepted), NAK (resend), RS (refused) or
// ESC EOT (disconnect); taken only as an ACK with none of the others.
// `received` is what came after the block, not the login's ACK before it.
bool TAPAnswerAccepts(std::string_view received);

} // namespace qm
