#pragma once
// One outbox message file as the protocol routines handle it: read (with the
// recipient prepared) and, after its attempt, deleted. A file whose trouble
// would repeat on every pass (it cannot be read, or cannot be deleted after
// its message went out) is logged once and passed over for the rest of the
// run, so it neither floods the logs nor sends duplicates nor blocks the
// files behind it.

#include "core/gateway.h"
#include "outbox/outboxfields.h"
#include "outbox/outboxmessage.h"

#include <optional>
#include <string>

namespace qm
{

// AppPath + "outbox" + separator.
std::string OutboxFolder(const Gateway &gw);

// Reads `fileName` from the outbox, closes it, passes the recipient through a
// fresh filter from gw.recipientFilter and strips it. Nothing when the file
// could not be read: that is logged to both logs with the reason.
std::optional<OutboxMessage> ReadMessageFile(Gateway &gw, const std::string &fileName,
                                             FieldTyping typing);

// Deletes `fileName` from the outbox; an empty name (test mode) deletes
// nothing. A file gone already is fine.
void DeleteMessageFile(Gateway &gw, const std::string &fileName);

// The first message file of the outbox that is not passed over. A folder
// that cannot be listed is logged once until it can be listed again.
std::optional<std::string> PickMessageFile(Gateway &gw);

} // namespace qm
