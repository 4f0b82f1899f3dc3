#pragma once
// One message on its way to the SMS Centre, read from an outbox file or typed
// as a test message, and what became of it once a protocol had it.

#include <string>

namespace qm
{

struct OutboxMessage {
    std::string Recipient;
    std::string MessageText;
};

// What a protocol reports for a message; the reasons are in the logs. The
// send cycle disposes of the message's file by it.
enum class SendOutcome {
    Done,     // sent, or refused with its text in the logs: the file goes
    Retry,    // not sent (no call, no login, a failed write): the file stays
    PassOver, // can never be sent as it is: the file stays, untouched this run
};

} // namespace qm
