// The UCP centre decodes whatever arrives on the line. Any bytes must give a
// clean refusal or a decoded frame, and a decoded frame must survive being
// built again by the gateway's builder and decoded once more.
#include "pure/ucpframe.h"
#include "ucpcentre.h"

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

struct CountingRecorder final : qm::sim::Recorder {
    void record(const qm::sim::SimEvent &e) override
    {
        Check(e.kind == "accepted" || e.kind == "refused");
        ++events;
    }
    int events = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);

    const qm::sim::UcpDecoded d = qm::sim::DecodeUcpFrame(bytes);
    Check(d.ok == d.errorCode.empty());
    if (d.ok) {
        const auto frame = qm::BuildUCPFrame(d.ot, d.recipient, d.text, d.authenticationCode,
                                             d.legitimizationCode);
        Check(frame.has_value());
        const std::string_view inner = std::string_view(*frame).substr(1, frame->size() - 2);
        const qm::sim::UcpDecoded again = qm::sim::DecodeUcpFrame(inner);
        // Whatever the gateway builds, its own centre decodes alike.
        Check(again.ok);
        if (again.ok) {
            Check(again.ot == d.ot && again.recipient == d.recipient && again.text == d.text);
            Check(again.authenticationCode == d.authenticationCode);
            Check(again.legitimizationCode == d.legitimizationCode);
        }
    }

    // The same bytes as a stream, in two pieces, through a centre.
    CountingRecorder rec;
    qm::sim::UcpCentre centre({}, &rec);
    const std::size_t half = size / 2;
    std::size_t replies = centre.feed(bytes.substr(0, half)).size();
    replies += centre.feed(bytes.substr(half)).size();
    Check(replies == static_cast<std::size_t>(rec.events));
    return 0;
}
