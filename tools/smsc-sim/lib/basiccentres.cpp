#include "basiccentres.h"

namespace qm::sim
{

std::vector<Reply> RecordingCentre::onConnect()
{
    ++connects;
    current.clear();
    if (greeting.empty())
        return {};
    return {Reply{replyDelay, greeting}};
}

std::vector<Reply> RecordingCentre::feed(std::string_view bytes)
{
    current += bytes;
    if (replyToEach.empty())
        return {};
    return {Reply{replyDelay, replyToEach}};
}

void RecordingCentre::onHangup()
{
    calls.push_back(current);
    current.clear();
}

} // namespace qm::sim
