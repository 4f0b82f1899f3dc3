#include "pure/controlchars.h"

#include <array>
#include <utility>

namespace qm
{

std::string ShowControlChars(std::string_view text)
{
    static constexpr std::array<std::pair<char, std::string_view>, 11> tags{{
        {Ctl::STX, "<STX>"},
        {Ctl::ETX, "<ETX>"},
        {Ctl::CR, "<CR>"},
        {Ctl::ACK, "<ACK>"},
        {Ctl::ESC, "<ESC>"},
        {Ctl::RS, "<RS>"},
        {Ctl::EOT, "<EOT>"},
        {Ctl::NAK, "<NAK>"},
        {Ctl::LF, "<LF>"},
        {Ctl::XOFF, "<XOFF>"},
        {Ctl::XON, "<XON>"},
    }};
    // No tag holds a control character, so one pass equals the successive
    // whole-string replacements.
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        bool tagged = false;
        for (const auto &[code, tag] : tags) {
            if (c == code) {
                out += tag;
                tagged = true;
                break;
            }
        }
        if (!tagged)
            out += c;
    }
    return out;
}

} // namespace qm
