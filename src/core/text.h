#pragma once
// Small byte-string helpers shared by the parsers.

#include <string_view>

namespace qm
{

// Without leading and trailing spaces (modem answers, dialled numbers).
constexpr std::string_view TrimSpaces(std::string_view s)
{
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// Without leading and trailing blanks: spaces and tabs (hand-edited files).
constexpr std::string_view TrimBlanks(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

} // namespace qm
