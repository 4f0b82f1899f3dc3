// The TAP centre reads blocks from the line once the caller has logged in.
// Any bytes must give ACK, NAK, RS or nothing, never a crash; a block that
// decodes must be exactly what the gateway's builder makes of its fields.
#include "pure/tapblock.h"
#include "tapcentre.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace
{

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);

    const qm::sim::TapDecoded d = qm::sim::DecodeTapBlock(bytes);
    if (d.status == qm::sim::TapDecoded::Status::Ok)
        Check(qm::BuildTAPBlock(d.recipient, d.text) == bytes);

    qm::sim::TapCentreOptions options;
    options.password = "pw";
    qm::sim::TapCentre centre(options);
    centre.feed("\r\x1bPG1pw\r");
    Check(centre.state() == qm::sim::TapCentre::State::LoggedIn);
    for (const qm::sim::Reply &r : centre.feed(bytes)) {
        Check(r.bytes == "\x06\r" || r.bytes == "\x15\r" || r.bytes == "\x1e\r" ||
              r.bytes == "\x1b\x04\r");
    }
    // The same bytes before the login: prompts and login lines only.
    qm::sim::TapCentre fresh(options);
    fresh.feed(bytes);
    return 0;
}
