#pragma once
// UCP frames as the gateway sends them: operation types "01", "03", "30" and
// "51", TRN "01", empty originator, alphanumeric text in IA5 hexadecimal.
// Nothing is validated or escaped: a "/" in the recipient or a code goes into
// the frame as it is and shifts the fields after it.
//
// Body = header "01/" LEN "/O/" OT "/" + data fields, each followed by "/":
//   01: R "///3/" H "/"
//   03: AdC "//" A "/0//////////" H "/"   (AdC = R, or R "," G when G is set)
//   30: R "///1//////" H "/"
//   51: R "//" A, seventeen "/", "3/" H, thirteen "/"
// Frame = STX body checksum ETX, nothing after ETX.
//
// Layout and checksum follow the published EMI-UCP interface document:
// "stx <header>/<data>/<checksum> etx", the header being TRN (two digits),
// LEN (five digits: the characters between stx and etx), "O" for an
// operation, OT; the checksum is the sum of every character after stx up to
// and including the last "/", its 8 low bits as two hex characters, high
// nibble first.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qm
{

// Sum of the body's byte values modulo 256, as two upper-case hex digits.
std::string UCPChecksum(std::string_view body);

// The LEN field for a count: five digits, zero-padded ("00035", "01000").
std::string UCPLengthField(std::size_t count);

// The most characters between STX and ETX that a five-digit LEN can count:
// a longer frame cannot be sent at all.
inline constexpr std::size_t MaxUCPFrameCount = 99999;

// The operation types the gateway sends, in the order the console lists them.
inline constexpr std::array<std::string_view, 4> UCPOperationTypes{"01", "03", "30", "51"};
bool IsSupportedUCPOperation(std::string_view operationType);

// The whole frame, STX to ETX, with the text in IA5 form. LEN counts the
// characters between STX and ETX. No frame for an unsupported operation type.
std::optional<std::string> BuildUCPFrame(std::string_view operationType, std::string_view recipient,
                                         std::string_view messageText,
                                         std::string_view authenticationCode,
                                         std::string_view legitimizationCode);

} // namespace qm
