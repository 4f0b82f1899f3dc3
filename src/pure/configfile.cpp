#include "pure/configfile.h"

#include "pure/text.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <string>

namespace qm
{
namespace
{

// The integer part (floor) of a number written in decimal, if the whole text
// is a number that fits an int. Read the same whatever the process locale.
bool integerPart(std::string_view text, int &out)
{
    std::string_view s = TrimBlanks(text);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (s.empty())
        return false;
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v))
        return false;
    const double f = std::floor(v);
    if (f < double(INT_MIN) || f > double(INT_MAX))
        return false;
    out = int(f);
    return true;
}

std::string withoutQuotes(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (char c : value)
        if (c != '"')
            out += c;
    return out;
}

} // namespace

std::vector<std::string> SplitConfigEntries(std::string_view content)
{
    std::vector<std::string> entries;
    std::size_t i = 0;
    const std::size_t n = content.size();
    while (i < n) {
        while (i < n && (IsBlank(content[i]) || IsLineEnd(content[i])))
            ++i;
        if (i >= n)
            break;
        if (content[i] == ',') { // an empty field between separators
            ++i;
            continue;
        }
        if (content[i] == '"') {
            const std::size_t close = content.find('"', i + 1);
            const std::size_t stop = close == std::string_view::npos ? n : close;
            entries.emplace_back(content.substr(i + 1, stop - i - 1));
            i = stop == n ? n : stop + 1;
            // Whatever follows the closing quote up to the separator is dropped.
            while (i < n && content[i] != ',' && !IsLineEnd(content[i]))
                ++i;
        } else {
            const std::size_t start = i;
            while (i < n && content[i] != ',' && !IsLineEnd(content[i]))
                ++i;
            entries.emplace_back(TrimBlanks(content.substr(start, i - start)));
        }
        if (i < n && content[i] == ',')
            ++i;
    }
    return entries;
}

void ParseConfig(std::string_view content, ConsoleSettings &s)
{
    for (const std::string &entry : SplitConfigEntries(content)) {
        const std::size_t eq = entry.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string_view key = std::string_view(entry).substr(0, eq);
        // An unquoted hand-written value may hold a double quote, which the
        // file cannot hold when rewritten: drop it here so field and file agree.
        const std::string value = withoutQuotes(std::string_view(entry).substr(eq + 1));
        if (key == "AppPath") {
            s.AppPath = value;
        } else if (key == "Port") {
            int v;
            if (integerPart(value, v))
                s.Port = v;
        } else if (key == "Setting") {
            std::string frame = value;
            for (char &c : frame)
                if (c == ' ')
                    c = ',';
            s.Setting = frame;
        } else if (key == "BaudRate") {
            s.BaudRate = value;
        } else if (key == "SMSCenterNumber") {
            s.SMSCenterNumber = value;
        } else if (key == "Protocol") {
            s.Protocol = value;
        } else if (key == "OpType") {
            s.OpType = value;
        } else if (key == "TAPStoredText") {
            s.TAPStoredText = value;
        } else if (key == "TAPDeliveredText") {
            s.TAPDeliveredText = value;
        } else if (key == "AuthenticationCode") {
            s.AuthenticationCode = value;
        } else if (key == "LegitimizationCode") {
            s.LegitimizationCode = value;
        } else if (key == "PollingInterval") {
            int v;
            if (integerPart(value, v))
                s.PollingInterval = v;
        }
    }
}

std::string FormatConfig(const ConsoleSettings &s)
{
    std::string frame = s.Setting;
    for (char &c : frame)
        if (c == ',')
            c = ' ';
    const std::pair<const char *, std::string> lines[] = {
        {"AppPath", s.AppPath},
        {"Port", std::to_string(s.Port)},
        {"Setting", frame},
        {"BaudRate", s.BaudRate},
        {"SMSCenterNumber", s.SMSCenterNumber},
        {"Protocol", s.Protocol},
        {"OpType", s.OpType},
        {"TAPStoredText", s.TAPStoredText},
        {"TAPDeliveredText", s.TAPDeliveredText},
        {"AuthenticationCode", s.AuthenticationCode},
        {"LegitimizationCode", s.LegitimizationCode},
        {"PollingInterval", std::to_string(s.PollingInterval)},
    };
    std::string out;
    for (const auto &[key, value] : lines) {
        out += '"';
        out += key;
        out += '=';
        out += withoutQuotes(value);
        out += "\"\r\n";
    }
    return out;
}

} // namespace qm
