#pragma once
// Two simple SMS Centres for trying the modem link without a protocol: one
// that sends back what it gets, one that keeps what it gets.

#include "centre.h"

#include <string>
#include <vector>

namespace qm::sim
{

// Sends every piece back after `delay`.
class EchoCentre final : public SmsCentre
{
public:
    explicit EchoCentre(std::chrono::milliseconds delay = std::chrono::milliseconds(0))
        : delay_(delay)
    {
    }
    std::vector<Reply> feed(std::string_view bytes) override
    {
        return {Reply{delay_, std::string(bytes)}};
    }

private:
    std::chrono::milliseconds delay_;
};

// Keeps what each call brought and answers with canned replies.
class RecordingCentre final : public SmsCentre
{
public:
    std::vector<Reply> onConnect() override;
    std::vector<Reply> feed(std::string_view bytes) override;
    void onHangup() override;

    std::string greeting;    // sent when the call comes up (empty: nothing)
    std::string replyToEach; // sent after every piece (empty: nothing)
    std::chrono::milliseconds replyDelay{0};

    std::string current;            // bytes of the call in progress
    std::vector<std::string> calls; // bytes of each finished call
    int connects = 0;
};

} // namespace qm::sim
