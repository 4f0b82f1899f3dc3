#pragma once

#include <string>
#include <string_view>

namespace qm
{

// Control characters by name, as the protocols use them.
namespace Ctl
{
inline constexpr char STX = 2;
inline constexpr char ETX = 3;
inline constexpr char EOT = 4;
inline constexpr char ACK = 6;
inline constexpr char LF = 10;
inline constexpr char CR = 13;
inline constexpr char XON = 17;
inline constexpr char XOFF = 19;
inline constexpr char NAK = 21;
inline constexpr char ESC = 27;
inline constexpr char RS = 30;
} // namespace Ctl

// Renders STX, ETX, CR, ACK, ESC, RS, EOT, NAK, LF, XOFF and XON as "<STX>"
// and so on; every other byte is kept as it is.
std::string ShowControlChars(std::string_view text);

} // namespace qm
