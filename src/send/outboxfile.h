#pragma once
// The outbox folder on disk: picking the next message file and reading one.

#include "pure/failure.h"
#include "pure/outboxfields.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace qm
{

// The first message file the folder listing yields: a regular file whose name
// ends in ".dat" in any case and does not start with "." (hidden). Other
// suffixes and, on Windows, hidden and system files are passed over. A
// ".dat" name that is not a regular file (a symbolic link or other reparse
// point, a folder, a device) is never taken: the gateway may have more rights
// than the program filling the outbox, and a link would have it send a file
// from elsewhere. On Windows a file another program is writing without sharing
// reading is left for a later pass.
// Such names go to `notRegular`, when given, and the listing goes on. The listing stops at the
// first match, so a backlog of any size costs the same per pick; nothing is sorted. `folder` ends
// with a separator (AppPath + "outbox/"). A missing folder, an empty one or one that cannot be
// listed gives no name; `error`, when given, then tells why the folder could not be listed (left
// empty for a missing folder). `passOver`, when given, names files to pass over as if they were not
// there.
using PassOver = std::function<bool(const std::string &name)>;
using NotRegular = std::function<void(const std::string &name)>;
std::optional<std::string> PickOutboxFile(const std::string &folder, MaybeFailure *error = nullptr,
                                          const PassOver &passOver = {},
                                          const NotRegular &notRegular = {});

// True when `name` has the message-file suffix and is not hidden.
bool IsOutboxFileName(const std::string &name);

// A stamp of the file now (device, inode, size, modification and change
// times): it differs once the file has been rewritten or replaced. Empty
// when the file is not there or the platform does not tell.
std::string OutboxFileStamp(const std::string &path);

// A message file longer than this is refused: no text message is anywhere
// near it, and logging its frame twice to two logs would multiply it.
inline constexpr std::size_t MaxMessageFileBytes = 64 * 1024;

// Reads the whole file and closes it before returning, then splits the
// fields. A file that cannot be read, is not a regular file (a link is not
// followed) or is longer than MaxMessageFileBytes gives empty fields and
// the failure.
OutboxFileRead ReadOutboxFile(const std::string &path);

// Deletes the file. A file that is not there (any more) is no failure. On
// Windows a file that another program holds open without sharing deletion, or
// that has the read-only attribute, cannot be deleted: that is a failure.
MaybeFailure DeleteOutboxFile(const std::string &path);

// The failure of a file longer than MaxMessageFileBytes (errno EFBIG).
Failure FileTooLarge(std::size_t size);

} // namespace qm
