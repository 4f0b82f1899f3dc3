#include "ucp/builducpframe.h"

#include "log/writelog.h"

namespace qm
{

std::string IA5Encoding(Gateway &gw, std::string_view text, const IA5Encoder &encoder)
{
    IA5Result r = encoder ? encoder(text) : EncodeIA5(text);
    if (r.ok)
        return std::move(r.hex);
    std::string entry(IA5FailureText);
    entry.append("\r").append(r.description);
    WriteLog(gw, LogTarget::EventsLog, entry, false);
    return {};
}

std::string BuildUCPFrame(Gateway &gw, std::string_view operationType, std::string_view recipient,
                          std::string_view messageText, std::string_view authenticationCode,
                          std::string_view legitimizationCode, const IA5Encoder &encoder)
{
    if (!IsSupportedUCPOperation(operationType))
        return {};
    const std::string hex = IA5Encoding(gw, messageText, encoder);
    return BuildUCPFrameEncoded(operationType, recipient, hex, authenticationCode,
                                legitimizationCode)
        .value_or(std::string{});
}

} // namespace qm
