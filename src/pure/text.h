#pragma once
// Small byte-string helpers shared by the parsers.

#include <string_view>

namespace qm
{

// A blank is a space or a tab; a line ends at CR or LF.
constexpr bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}
constexpr bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// The value of one hexadecimal digit (either case), or -1.
constexpr int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

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
