#include "pure/answercarrier.h"

#include <utility>

namespace qm
{
namespace
{
constexpr std::size_t MaxLine = 256; // result codes are short
} // namespace

int AnswerCarrier::feed(std::string_view bytes)
{
    int changes = 0;
    CollectModemLines(
        line_, bytes,
        [this, &changes](const std::string &line) {
            const ModemAnswer answer = ClassifyModemLine(line);
            const bool carrier = answer.noCarrier ? false : answer.connect ? true : up_;
            if (carrier != up_) {
                up_ = carrier;
                ++changes;
            }
        },
        MaxLine);
    return changes;
}

bool AnswerCarrier::reset()
{
    line_ = {};
    return std::exchange(up_, false);
}

} // namespace qm
