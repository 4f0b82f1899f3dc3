#include "dialogs/outboxpath.h"

#include "log/writelog.h"

namespace qm
{

std::string WithTrailingSeparator(std::string folder)
{
    if (folder.empty() || folder.back() != PathSeparator)
        folder += PathSeparator;
    return folder;
}

void UpdateAppPath(Gateway &gw, const std::string &folder)
{
    gw.state.AppPath = WithTrailingSeparator(folder);
    WriteLog(gw, LogTarget::StatusLine, std::string(PathChangedText) + gw.state.AppPath);
}

} // namespace qm
