#pragma once
// The one logging routine: the status line, Master.Log, Events.Log or both.

#include "core/gateway.h"

#include <string>
#include <string_view>

namespace qm
{

// Where an entry goes. The numbers are the targets' fixed codes; a value
// outside them does nothing.
enum class LogTarget { StatusLine = 0, MasterLog = 1, EventsLog = 2, BothLogs = 3 };

inline constexpr std::string_view MasterLogName = "Master.Log";
inline constexpr std::string_view EventsLogName = "Events.Log";

// Appends "<date time>: <message>/<False|True>" CR LF to the chosen file(s),
// opening and closing the file for each entry. Any other target does nothing.
// A failure shows the "Can't Create File" box and the entry is dropped.
void WriteLog(Gateway &gw, LogTarget target, std::string_view message, bool flag = false);

} // namespace qm
