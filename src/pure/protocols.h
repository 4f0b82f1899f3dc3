#pragma once
// The protocols the console offers, and how its protocol list's text picks
// one: exactly "UCP" (case-sensitive) is UCP; anything else, "TAP" or no
// selection at all, is TAP.

#include <array>
#include <string_view>

namespace qm
{

inline constexpr std::array<std::string_view, 2> Protocols{"UCP", "TAP"};

inline bool IsUCP(std::string_view protocol)
{
    return protocol == Protocols[0];
}

} // namespace qm
