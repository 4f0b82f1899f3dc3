#pragma once
// The one logging routine: the status line, Master.Log, Events.Log or both.

#include "core/gateway.h"

#include <string>
#include <string_view>

namespace qm
{

namespace LogTarget
{
inline constexpr int StatusLine = 0;
inline constexpr int MasterLog = 1;
inline constexpr int EventsLog = 2;
inline constexpr int BothLogs = 3;
} // namespace LogTarget

inline constexpr std::string_view MasterLogName = "Master.Log";
inline constexpr std::string_view EventsLogName = "Events.Log";

// Appends "<date time>: <message>/<False|True>" CR LF to the chosen file(s),
// opening and closing the file for each entry. Any other target does nothing.
// A failure shows the "Can't Create File" box and the entry is dropped.
void WriteLog(Gateway &gw, int target, std::string_view message, bool flag = false);

} // namespace qm
