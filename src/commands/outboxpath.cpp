#include "commands/outboxpath.h"

#include "log/writelog.h"

namespace qm
{

void UpdateAppPath(Gateway &gw, const std::string &folder)
{
    gw.state.AppPath = WithTrailingSeparator(folder);
    WriteLog(gw, LogTarget::StatusLine, std::string(PathChangedText) + gw.state.AppPath);
}

} // namespace qm
