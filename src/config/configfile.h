#pragma once
// The smsconf.conf format: one double-quoted "Key=Value" entry per line, CR LF
// line ends, single-byte text. Keys are case-sensitive; unknown keys are
// ignored and the last occurrence of a key wins.

#include <string>
#include <string_view>
#include <vector>

namespace qm
{

// The values read at start-up, used only to fill the console's fields.
struct ConsoleSettings {
    int Port = 0;        // zero-based position in the port list
    std::string Setting; // frame, e.g. "N,8,1"
    std::string BaudRate;
    std::string SMSCenterNumber;
    std::string Protocol;
    std::string OpType;
    int PollingInterval = 0; // milliseconds
    std::string AppPath;     // kept, never applied
    std::string TAPStoredText;
    std::string TAPDeliveredText;
    std::string AuthenticationCode;
    std::string LegitimizationCode;
    bool operator==(const ConsoleSettings &) const = default;
};

// What SaveSettings writes, taken from the console's fields.
struct SavedSettings {
    std::string AppPath;
    int Port = 0;        // one-based; 0 when no port is selected
    std::string Setting; // frame as shown, e.g. "N,8,1"
    std::string BaudRate;
    std::string SMSCenterNumber;
    std::string Protocol;
    std::string OpType;
    std::string TAPStoredText;
    std::string TAPDeliveredText;
    std::string AuthenticationCode;
    std::string LegitimizationCode;
    int PollingInterval = 0;
};

// Splits file content into entries the way the writer writes them: a quoted
// entry runs to its closing quote (commas inside kept), an unquoted one to the
// next comma or line end, blanks around it dropped. Never fails.
std::vector<std::string> SplitConfigEntries(std::string_view content);

// Applies every entry of `content` to `settings`, starting from what it holds.
void ParseConfig(std::string_view content, ConsoleSettings &settings);

// The twelve lines, in the fixed key order. The format has no escape for a
// double quote, so any in a value is dropped rather than breaking the file.
std::string FormatConfig(const SavedSettings &s);

} // namespace qm
