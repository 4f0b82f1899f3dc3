#pragma once
// The end of the program: at once, from wherever it is asked for. A send
// cycle or a wait further down the stack is abandoned; since every write the
// gateway makes (log entry, settings file) is finished before it returns to
// the event loop, nothing is left half-written. Only the port needs closing.

#include "core/gateway.h"

#include <functional>

namespace qm
{

// Ends the process with the status given; the real one does not return.
using Terminate = std::function<void(int status)>;

// Flushes the standard streams and ends the process at once (std::_Exit):
// no nested event loop has to unwind, no destructor runs.
[[noreturn]] void TerminateNow(int status);

// Abandons what is under way (automatic sending off, the call dropped by
// closing the port without a hang-up command) and calls `terminate` with 0.
void EndProcess(Gateway &gw, const Terminate &terminate);

} // namespace qm
