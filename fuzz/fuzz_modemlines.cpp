// The modem-line collector takes whatever the line delivers. For any bytes:
// no crash, no CR or LF kept in a line, and the outcome (boxes shown,
// Connected, the line left open) does not depend on how the bytes were split
// into received pieces.

#include "fakes.h"
#include "modem/portevents.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace
{

struct Outcome {
    std::vector<std::string> boxes;
    bool connected;
    std::string lineText;
    bool skip;
    bool operator==(const Outcome &) const = default;
};

qm::test::TestGateway &gateway()
{
    static qm::test::TestGateway t;
    return t;
}

template <typename Feed> Outcome run(Feed feed)
{
    qm::test::TestGateway &t = gateway();
    t.gw.state = qm::GatewayState{};
    t.notifier.notices.clear();
    feed(t.gw);
    Outcome o{{},
              t.gw.state.Connected,
              t.gw.state.modemLine.LineText,
              t.gw.state.modemLine.SkipToLineFeed};
    for (const auto &n : t.notifier.notices)
        o.boxes.push_back(n.text);
    if (o.lineText.find_first_of("\r\n") != std::string::npos)
        std::abort();
    return o;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses the piece length for the split run.
    const std::size_t step = data[0] % 7 + 1;
    const std::string_view bytes(reinterpret_cast<const char *>(data + 1), size - 1);

    const Outcome whole = run([&](qm::Gateway &gw) { qm::CollectModemLines(gw, bytes); });
    const Outcome split = run([&](qm::Gateway &gw) {
        for (std::size_t i = 0; i < bytes.size(); i += step)
            qm::CollectModemLines(gw, bytes.substr(i, step));
    });
    if (!(whole == split))
        std::abort();
    return 0;
}
