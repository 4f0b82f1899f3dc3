#pragma once
// Delivering one message by UCP over the data call: read the message (from
// its outbox file, or the arguments in test mode) and refuse what no call
// could deliver (an unsupported operation type, a frame too long for LEN),
// dial when needed, build and write the frame, log what the centre answers
// for one second, delete the file. The centre's answer is logged, not judged. No hang-up: the send
// cycle does that.

#include "core/gateway.h"

#include <string>

namespace qm
{

// `recipient` and `messageText` are used in test mode only; `fileName` is the
// bare name of an outbox file (empty in test mode). None is changed.
void SendUCPSMS(Gateway &gw, const std::string &recipient, const std::string &messageText,
                const std::string &fileName);

} // namespace qm
