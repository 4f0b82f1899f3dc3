#pragma once
// The send cycle: in automatic mode the gateway's main loop (list the outbox,
// send at most one message by the protocol chosen on the console, hang up,
// pause, again, until automatic sending is switched off); in test mode one
// message from the arguments, leaving the call up.
//
// One exchange at a time: everything runs on one thread, but operator
// actions run nested inside the cycle's waits, so a second cycle or a test
// message could otherwise start talking on the port in the middle of a
// message. The rule lives here: a test message during an exchange is refused
// (the status line says so), a start while the loop runs lets the running
// loop carry on, and a start during a test message waits until it ends (the
// status line says that automatic sending follows).
//
// TestMode belongs to the attempt that set it: each caller sets it for its
// own call and gives the outer attempt its value back afterwards.

#include "core/gateway.h"

#include <string>

namespace qm
{

enum class SendCycleResult {
    Done,         // the test message was handled, or the loop ended
    LoopRunning,  // automatic mode: a loop is already running and carries on
    ExchangeBusy, // a message exchange is under way: nothing was done
};

// The status line text of a refused test message.
inline constexpr const char *ExchangeBusyText =
    "A message is being sent. Please try again in a moment.";
// The status line text of a start during a test message.
inline constexpr const char *StartsAfterTestText =
    "A test message is being sent. Automatic sending begins when it is done.";

// `recipient` and `messageText` are the test message (empty in automatic mode).
SendCycleResult SendPendingSMS(Gateway &gw, std::string &recipient, std::string &messageText);

// Pumps events until more than `n` whole clock-second boundaries have passed
// (n = 1: between one and two seconds). It blocks in the event pump until
// the next event or the boundary, so it costs no CPU while nothing happens.
void WaitSeconds(Gateway &gw, short n);

} // namespace qm
