#pragma once
// Appending one log entry to its file: whole or not at all. A full disk or a
// quota must not leave half an entry without its line end, onto which the
// next entry would be joined.

#include "pure/failure.h"

#include <string>
#include <string_view>

namespace qm
{

// Opens `path` for appending (creating it), writes `entry` in one write and
// closes it. On a short write the file is cut back to its length before, and
// the failure is returned.
MaybeFailure AppendWholeEntry(const std::string &path, std::string_view entry);

} // namespace qm
