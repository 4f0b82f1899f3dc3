#pragma once
// One message of the outbox, as read from its file; lives while it is sent.

#include <string>

namespace qm
{

struct OutboxMessage {
    std::string Recipient;
    std::string MessageText;
};

} // namespace qm
