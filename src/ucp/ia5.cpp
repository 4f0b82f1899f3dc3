#include "ucp/ia5.h"

namespace qm
{

IA5Result EncodeIA5(std::string_view text)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    IA5Result r;
    r.hex.reserve(text.size() * 2);
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        r.hex += digits[b >> 4];
        r.hex += digits[b & 0x0F];
    }
    return r;
}

} // namespace qm
