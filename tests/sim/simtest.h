#pragma once
// Helpers shared by the tests that drive the simulator's modem and centres.

#include "centre.h"
#include "hayesmodem.h"

#include <string>
#include <vector>

namespace qm::sim::test
{

// Keeps every event, in order.
struct ListRecorder final : Recorder {
    void record(const SimEvent &e) override { events.push_back(e); }
    // The value of `field` of each event of `kind`, or every kind when `kind` is empty.
    std::vector<std::string> values(const std::string &kind = "",
                                    const std::string &field = "") const
    {
        std::vector<std::string> out;
        for (const SimEvent &e : events)
            if (kind.empty() || e.kind == kind)
                out.push_back(field.empty() ? e.kind : e.fields.at(field));
        return out;
    }
    std::vector<SimEvent> events;
};

// All reply bytes, in order.
inline std::string Joined(const std::vector<Reply> &replies)
{
    std::string all;
    for (const Reply &r : replies)
        all += r.bytes;
    return all;
}

inline ModemScenario Scenario(DialResult r = DialResult::Connect, SimTime delay = SimTime(1000),
                              bool echo = true)
{
    ModemScenario s;
    s.result = r;
    s.connectDelay = delay;
    s.echo = echo;
    return s;
}

} // namespace qm::sim::test
