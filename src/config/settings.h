#pragma once
// Reading smsconf.conf at start-up and rewriting it from the console's fields.

#include "core/gateway.h"
#include "platform/filedialog.h"
#include "pure/configfile.h"
#include "pure/failure.h"

#include <string>

namespace qm
{

inline constexpr const char *ConfigFileName = "smsconf.conf";
inline constexpr const char *ConfigFileFilter = "Configuration Files (*.conf)|*.conf";

// Reads the program folder's smsconf.conf (`programFolder` ends with a
// separator); when it cannot be opened, asks for a file. Sets ConfigFilePath
// to the file actually read, or to the program folder's file when none could
// be read, in which case the status line says so and the settings stay empty.
ConsoleSettings LoadSettings(Gateway &gw, const std::string &programFolder, FileDialog &dialog);

// Rewrites the whole file at ConfigFilePath from the console's fields. A
// failure leaves the old file intact and is shown on the status line.
void SaveSettings(Gateway &gw);

// Replaces `path` with `content` through a temporary file in the same folder,
// so a crash never leaves a truncated file. A file with the read-only
// permission or attribute is left alone. On Linux the new file is readable by
// its owner only; on Windows it takes the folder's permissions.
MaybeFailure WriteFileAtomically(const std::string &path, const std::string &content);

} // namespace qm
