#pragma once
// The simulator's record: one JSON object per line, flushed at once so a
// reader sees each event as it happens. Byte strings are written with every
// byte outside printable ASCII as \u00XX, so the record is plain ASCII and
// each byte can be recovered.

#include "centre.h"

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace qm::sim
{

std::string JsonString(std::string_view bytes);

class JsonRecorder final : public Recorder
{
public:
    // `clock` gives the milliseconds since the simulator started.
    JsonRecorder(std::FILE *out, std::function<long long()> clock)
        : out_(out), clock_(std::move(clock))
    {
    }
    void record(const SimEvent &event) override;

private:
    std::FILE *out_;
    std::function<long long()> clock_;
};

} // namespace qm::sim
