#pragma once
// A failure reported by the layer that failed: a number and a description
// (errno/strerror, QSerialPort::errorString() ...). Routines turn it into the
// gateway's own log text; nothing throws across a routine's boundary.

#include <optional>
#include <string>

namespace qm
{

struct Failure {
    int code = 0;
    std::string description;
};

// Empty on success.
using MaybeFailure = std::optional<Failure>;

// How the gateway's log entries end when a failure is behind them: CR,
// "Error:", the failure's number in decimal, "-", its description.
inline std::string FailureSuffix(const Failure &f)
{
    return "\rError:" + std::to_string(f.code) + "-" + f.description;
}

} // namespace qm
