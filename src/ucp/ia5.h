#pragma once
// IA5 hexadecimal form of a message text: each byte as two upper-case
// hexadecimal digits ("a" gives "61", a tab "09", 0xE9 "E9").

#include <functional>
#include <string>
#include <string_view>

namespace qm
{

struct IA5Result {
    bool ok = true;
    std::string hex;         // the encoded text when ok
    std::string description; // what went wrong otherwise
};

// The encoder proper. Every byte has a form, so it always succeeds; the
// result type and the IA5Encoder seam exist so the failure path of the frame
// builder can be driven.
IA5Result EncodeIA5(std::string_view text);

using IA5Encoder = std::function<IA5Result(std::string_view)>;

} // namespace qm
