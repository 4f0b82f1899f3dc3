#include "pure/linesettings.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <string>
#include <vector>

namespace qm
{
namespace
{

Failure invalid(std::string_view text, std::string_view why)
{
    return Failure{EINVAL,
                   "Invalid line settings \"" + std::string(text) + "\": " + std::string(why)};
}

bool toInt(std::string_view s, int &value)
{
    if (s.empty())
        return false;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc() && end == s.data() + s.size();
}

} // namespace

bool IsSupportedSpeed(int speed)
{
    for (int s : LineSpeeds)
        if (s == speed)
            return true;
    return false;
}

MaybeFailure ParseLineSettings(std::string_view text, LineSettings &out)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(
            text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    if (parts.size() != 4)
        return invalid(text, "expected speed,parity,data bits,stop bits");

    LineSettings ls;
    if (parts[0].empty())
        return invalid(text, "no speed");
    if (!toInt(parts[0], ls.speed) || !IsSupportedSpeed(ls.speed))
        return invalid(text, "unsupported speed");

    if (parts[1].size() != 1)
        return invalid(text, "no parity");
    switch (parts[1][0]) {
    case 'N':
    case 'n':
        ls.parity = Parity::None;
        break;
    case 'E':
    case 'e':
        ls.parity = Parity::Even;
        break;
    case 'O':
    case 'o':
        ls.parity = Parity::Odd;
        break;
    case 'M':
    case 'm':
        ls.parity = Parity::Mark;
        break;
    case 'S':
    case 's':
        ls.parity = Parity::Space;
        break;
    default:
        return invalid(text, "unknown parity");
    }

    if (!toInt(parts[2], ls.dataBits) || ls.dataBits < 5 || ls.dataBits > 8)
        return invalid(text, "data bits must be 5 to 8");

    if (parts[3] == "1")
        ls.stopBits = 1;
    else if (parts[3] == "1.5")
        ls.stopBits = 15;
    else if (parts[3] == "2")
        ls.stopBits = 2;
    else
        return invalid(text, "stop bits must be 1, 1.5 or 2");

    out = ls;
    return std::nullopt;
}

} // namespace qm
