#include "pure/ucpframe.h"

#include "pure/controlchars.h"
#include "pure/ia5.h"

#include <algorithm>

namespace qm
{

std::string UCPChecksum(std::string_view body)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    unsigned sum = 0;
    for (const char c : body)
        sum += static_cast<unsigned char>(c);
    sum &= 0xFF;
    return {digits[sum >> 4], digits[sum & 0x0F]};
}

std::string UCPLengthField(std::size_t count)
{
    const std::string digits = std::to_string(count);
    return std::string(digits.size() < 5 ? 5 - digits.size() : 0, '0') + digits;
}

bool IsSupportedUCPOperation(std::string_view operationType)
{
    return std::ranges::find(UCPOperationTypes, operationType) != UCPOperationTypes.end();
}

std::optional<std::string> BuildUCPFrame(std::string_view operationType, std::string_view recipient,
                                         std::string_view messageText,
                                         std::string_view authenticationCode,
                                         std::string_view legitimizationCode)
{
    const std::string ia5Text = IA5Encoding(messageText);
    std::string data;
    if (operationType == "01") {
        data.append(recipient).append("///3/").append(ia5Text).append("/");
    } else if (operationType == "03") {
        data.append(recipient);
        if (!legitimizationCode.empty())
            data.append(",").append(legitimizationCode);
        data.append("//").append(authenticationCode).append("/0//////////");
        data.append(ia5Text).append("/");
    } else if (operationType == "30") {
        data.append(recipient).append("///1//////").append(ia5Text).append("/");
    } else if (operationType == "51") {
        data.append(recipient).append("//").append(authenticationCode);
        data.append(17, '/').append("3/").append(ia5Text).append(13, '/');
    } else {
        return std::nullopt;
    }
    // Header "01/LLLLL/O/OT/" is 14 characters, the checksum 2.
    const std::size_t count = 14 + data.size() + 2;
    std::string body = "01/" + UCPLengthField(count) + "/O/";
    body.append(operationType).append("/").append(data);
    std::string frame(1, Ctl::STX);
    frame.append(body).append(UCPChecksum(body)).append(1, Ctl::ETX);
    return frame;
}

} // namespace qm
