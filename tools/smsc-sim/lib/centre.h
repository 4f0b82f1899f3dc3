#pragma once
// What sits behind the simulated modem once a data call is up: an SMS Centre
// fed with the caller's bytes, answering with bytes after delays. Centres are
// pure state machines; the modem and the transports (in-process simulated
// port, pseudo-terminal) deliver their replies.

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qm::sim
{

// One entry of the simulator's machine-readable record ("dial", "hangup",
// "received", "accepted", "refused", ...). Field values are byte strings.
struct SimEvent {
    std::string kind;
    std::map<std::string, std::string> fields;
};

class Recorder
{
public:
    virtual ~Recorder() = default;
    virtual void record(const SimEvent &event) = 0;
};

// Bytes to send back, `delay` after the bytes that caused them arrived.
struct Reply {
    std::chrono::milliseconds delay{0};
    std::string bytes;
};

class SmsCentre
{
public:
    virtual ~SmsCentre() = default;
    // The call has come up (carrier raised); a centre may greet the caller.
    virtual std::vector<Reply> onConnect() { return {}; }
    // Bytes from the caller while the call is up.
    virtual std::vector<Reply> feed(std::string_view bytes) = 0;
    // The call went down; state for the next call is reset.
    virtual void onHangup() {}
};

} // namespace qm::sim
