#pragma once
// The base folder change of the outbox path dialog, apart from its widgets.
// AppPath names the outbox folder and the log files only; the serial ports
// are looked up in the program's own folder and do not move with it.

#include "core/gateway.h"

#include <string>
#include <string_view>

namespace qm
{

inline constexpr std::string_view PathChangedText = "Path Changed to : ";

// AppPath := folder with its trailing separator, reported on the status line
// only (no log file entry). The settings are not saved.
void UpdateAppPath(Gateway &gw, const std::string &folder);

} // namespace qm
