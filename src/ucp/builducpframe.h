#pragma once
// The gateway's frame building: the pure builder plus the Events.Log entry
// when the text cannot be encoded.

#include "core/gateway.h"
#include "ucp/ia5.h"
#include "ucp/ucpframe.h"

#include <string>
#include <string_view>

namespace qm
{

inline constexpr std::string_view IA5FailureText =
    "Error Occured in IA5Encoding of UCP message. Please recheck paramters and retry again.";

// Encodes `text` with `encoder`. On failure writes one Events.Log entry (the
// text above, CR, the failure's description) and returns an empty text.
std::string IA5Encoding(Gateway &gw, std::string_view text, const IA5Encoder &encoder = EncodeIA5);

// The whole frame, STX to ETX; an encoding failure leaves the message field
// empty and the frame is still built. Empty for an unsupported operation
// type (the sending routine refuses those before building).
std::string BuildUCPFrame(Gateway &gw, std::string_view operationType, std::string_view recipient,
                          std::string_view messageText, std::string_view authenticationCode,
                          std::string_view legitimizationCode,
                          const IA5Encoder &encoder = EncodeIA5);

} // namespace qm
