#pragma once
// The TAP message block: STX, recipient, CR, text, CR, ETX, three checksum
// characters, CR. Nothing is escaped: a CR in the text makes an extra field
// and an ETX in it ends the block early.

#include <string>
#include <string_view>

namespace qm
{

// Checksum of the bytes from STX through ETX: the low 12 bits of the sum of
// the byte values (0..255), as three 4-bit groups, most significant first,
// each written as the character 48 + value ("0".."9", then ":;<=>?").
// This is the checksum of the Telocator Alphanumeric Protocol (TAP 1.8,
// "Checksum Calculation"), which sums 7-bit characters; for ASCII text the
// two agree; a byte above 127 is summed whole, as the gateway always sent it.
std::string TAPChecksum(std::string_view stxToEtx);

// The complete block, ending with the checksum and CR.
std::string BuildTAPBlock(std::string_view recipient, std::string_view messageText);

} // namespace qm
