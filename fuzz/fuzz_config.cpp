// The configuration reader takes whatever a hand-edited or damaged
// smsconf.conf holds: it must read it without crashing, and whatever it read
// must survive a rewrite (the format cannot hold a double quote).
#include "pure/configfile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view content(reinterpret_cast<const char *>(data), size);
    qm::ConsoleSettings read;
    qm::ParseConfig(content, read);

    qm::ConsoleSettings again;
    qm::ParseConfig(qm::FormatConfig(read), again);
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
