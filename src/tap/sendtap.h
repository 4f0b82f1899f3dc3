#pragma once
// Delivering one message by TAP: read the message, dial and log in when
// needed, and when the centre's go-ahead ("[p") is already in ReceiveBuffer
// write one block and log what the centre answers until the next sec1 tick.
// The answer is logged, not judged. No hang-up: the send cycle does that.

#include "core/gateway.h"

#include <string>

namespace qm
{

// Arguments as for SendUCPSMS: recipient and text in test mode only, the bare
// outbox file name otherwise.
void SendTAPSMS(Gateway &gw, const std::string &recipient, const std::string &messageText,
                const std::string &fileName);

} // namespace qm
