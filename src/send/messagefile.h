#pragma once
// One outbox message file as the protocol routines handle it: read (with the
// recipient prepared) and, after its attempt, deleted. A file whose trouble
// would repeat on every pass (it cannot be read, or cannot be deleted after
// its message went out) is logged once and passed over for the rest of the
// run, so it neither floods the logs nor sends duplicates nor blocks the
// files behind it.

#include "core/gateway.h"
#include "pure/message.h"
#include "pure/outboxfields.h"

#include <optional>
#include <string>

namespace qm
{

// Ends the log entry of a file the send cycle no longer takes in this run.
inline constexpr const char *PassedOverText = ". It is passed over until the gateway is restarted.";

// AppPath + "outbox" + separator.
std::string OutboxFolder(const Gateway &gw);

// Reads `fileName` from the outbox, closes it, passes the recipient through a
// fresh filter from gw.recipientFilter and strips it. Nothing when the file
// could not be read: that is logged to both logs with the reason (and, when
// the file is still there, that it is passed over until the restart).
std::optional<OutboxMessage> ReadMessageFile(Gateway &gw, const std::string &fileName,
                                             FieldTyping typing);

// Deletes `fileName` from the outbox; an empty name (test mode) deletes
// nothing. A file gone already is fine.
void DeleteMessageFile(Gateway &gw, const std::string &fileName);

// The send cycle takes `fileName` no more in this run (nothing for an empty
// name). The caller logs why, ending the entry with PassedOverText.
void PassOverMessageFile(Gateway &gw, const std::string &fileName);

// Leaves `fileName` in the outbox for the next pass: its message may not have
// been delivered and no log could take its text, so deleting it would leave
// nothing of it. The operator is told once per file in this run (a box and the
// status line), since the logs cannot say it.
void KeepUnloggedMessageFile(Gateway &gw, const std::string &fileName);

// The first message file of the outbox that is not passed over and looks
// complete: its producer may still be writing it (a script writing the
// number, then the text; a slow network share), so a file is taken only when
// it was unchanged at two listings at least a second apart, and, while it
// does not end with the CR LF that ends a message line, unchanged for ten
// seconds. A folder that cannot be listed is logged once until it can be
// listed again.
std::optional<std::string> PickMessageFile(Gateway &gw);

} // namespace qm
