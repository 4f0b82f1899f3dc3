#include "jsonrecorder.h"

namespace qm::sim
{

std::string JsonString(std::string_view bytes)
{
    static const char Hex[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c >= 0x7f) {
            out += "\\u00";
            out += Hex[c >> 4];
            out += Hex[c & 15];
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

void JsonRecorder::record(const SimEvent &event)
{
    std::string line = "{\"t\":" + std::to_string(clock_()) + ",\"kind\":" + JsonString(event.kind);
    for (const auto &[key, value] : event.fields)
        line += "," + JsonString(key) + ":" + JsonString(value);
    line += "}\n";
    std::fwrite(line.data(), 1, line.size(), out_);
    std::fflush(out_);
}

} // namespace qm::sim
