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
    Unlogged, // maybe not delivered, and its text reached neither log: the file stays
};

// After a message went out, or was given up on once the call was paid for:
// its file goes when the centre took it or when a log holds its text.
inline SendOutcome AfterAttempt(bool accepted, bool textLogged)
{
    return accepted || textLogged ? SendOutcome::Done : SendOutcome::Unlogged;
}

} // namespace qm
