#pragma once
// IA5 hexadecimal form of a message text: each byte as two upper-case
// hexadecimal digits ("a" gives "61", a tab "09", 0xE9 "E9"). Every byte has
// a form, so it cannot fail.

#include <string>
#include <string_view>

namespace qm
{

std::string IA5Encoding(std::string_view text);

} // namespace qm
