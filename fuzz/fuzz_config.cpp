// The configuration reader takes whatever a hand-edited or damaged
// smsconf.conf holds: it must read it without crashing, and whatever it read
// must survive a rewrite (the format cannot hold a double quote).
#include "config/configfile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view content(reinterpret_cast<const char *>(data), size);
    qm::ConsoleSettings read;
    qm::ParseConfig(content, read);

    qm::SavedSettings w;
    w.AppPath = read.AppPath;
    w.Port = read.Port + 1;
    w.Setting = read.Setting;
    w.BaudRate = read.BaudRate;
    w.SMSCenterNumber = read.SMSCenterNumber;
    w.Protocol = read.Protocol;
    w.OpType = read.OpType;
    w.TAPStoredText = read.TAPStoredText;
    w.TAPDeliveredText = read.TAPDeliveredText;
    w.AuthenticationCode = read.AuthenticationCode;
    w.LegitimizationCode = read.LegitimizationCode;
    w.PollingInterval = read.PollingInterval;

    qm::ConsoleSettings again;
    qm::ParseConfig(qm::FormatConfig(w), again);
    auto strip = [](std::string v) {
        std::erase(v, '"');
        return v;
    };
    if (again.TAPStoredText != strip(read.TAPStoredText) ||
        again.Protocol != strip(read.Protocol) || again.PollingInterval != read.PollingInterval ||
        again.SMSCenterNumber != strip(read.SMSCenterNumber))
        std::abort();
    return 0;
}
