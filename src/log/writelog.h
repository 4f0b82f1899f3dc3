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
// opening and closing the file for each entry, each entry whole or not at
// all. Any other target does nothing. A failure shows the "Can't Create File"
// box and the entry is dropped from that file.
// True when the entry is somewhere: on the status line, or in at least one of
// its log files. A routine that deletes a message file because the log holds
// its text asks this first.
bool WriteLog(Gateway &gw, LogTarget target, std::string_view message, bool flag = false);

} // namespace qm
