#pragma once
// The smsconf.conf format: one double-quoted "Key=Value" entry per line, CR LF
// line ends, single-byte text. Keys are case-sensitive; unknown keys are
// ignored and the last occurrence of a key wins.

#include <string>
#include <string_view>
#include <vector>

namespace qm
{

// The twelve settings of smsconf.conf in the file's key order: what start-up
// reads to fill the console's fields, and what a save writes from them.
struct ConsoleSettings {
    std::string AppPath; // written; read but never applied
    int Port = 1;        // COM n as in the file; below 1: no port selected
    std::string Setting; // frame as the console shows it, e.g. "N,8,1"
    std::string BaudRate;
    std::string SMSCenterNumber;
    std::string Protocol;
    std::string OpType;
    std::string TAPStoredText;
    std::string TAPDeliveredText;
    std::string AuthenticationCode;
    std::string LegitimizationCode;
    int PollingInterval = 0; // milliseconds
    bool operator==(const ConsoleSettings &) const = default;
};

// Splits file content into entries the way the writer writes them: a quoted
// entry runs to its closing quote (commas inside kept), an unquoted one to the
// next comma or line end, blanks around it dropped. Never fails.
std::vector<std::string> SplitConfigEntries(std::string_view content);

// Applies every entry of `content` to `settings`, starting from what it holds.
void ParseConfig(std::string_view content, ConsoleSettings &settings);

// The twelve lines, in the fixed key order. The format has no escape for a
// double quote, so any in a value is dropped rather than breaking the file.
std::string FormatConfig(const ConsoleSettings &s);

} // namespace qm
