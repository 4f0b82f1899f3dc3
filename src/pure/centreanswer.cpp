#include "pure/centreanswer.h"

#include "pure/controlchars.h"
#include "pure/ucpframe.h"

#include <vector>

namespace qm
{
namespace
{

std::vector<std::string_view> splitFields(std::string_view body)
{
    std::vector<std::string_view> fields;
    for (std::size_t from = 0;;) {
        const std::size_t slash = body.find('/', from);
        fields.push_back(body.substr(from, slash - from));
        if (slash == std::string_view::npos)
            return fields;
        from = slash + 1;
    }
}

bool acceptsFrame(std::string_view inner, std::string_view operationType)
{
    // inner: everything between STX and ETX, the checksum last.
    if (inner.size() < 2)
        return false;
    const std::string_view body = inner.substr(0, inner.size() - 2);
    if (UCPChecksum(body) != inner.substr(inner.size() - 2))
        return false;
    const auto f = splitFields(body);
    return f.size() > 4 && f[0] == "01" && f[1] == UCPLengthField(inner.size()) && f[2] == "R" &&
           f[3] == operationType && f[4] == "A";
}

} // namespace

bool UCPAnswerAccepts(std::string_view received, std::string_view operationType)
{
    for (std::size_t stx = received.find(Ctl::STX); stx != std::string_view::npos;
         stx = received.find(Ctl::STX, stx + 1)) {
        const std::size_t etx = received.find(Ctl::ETX, stx + 1);
        if (etx == std::string_view::npos)
            return false;
        if (acceptsFrame(received.substr(stx + 1, etx - stx - 1), operationType))
            return true;
    }
    return false;
}

bool TAPAnswerAccepts(std::string_view received)
{
    constexpr char refusals[] = {Ctl::NAK, Ctl::RS, Ctl::EOT};
    return received.find(Ctl::ACK) != std::string_view::npos &&
           received.find_first_of(std::string_view(refusals, 3)) == std::string_view::npos;
}

} // namespace qm
