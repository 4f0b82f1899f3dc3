#include "send/ensurecall.h"

#include "log/writelog.h"
#include "modem/dial.h"

namespace qm
{

bool EnsureCall(Gateway &gw, std::string_view failureEntry)
{
    if (!gw.state.Connected)
        DialSMSCenter(gw, gw.fields.smsCenterNumber());
    if (!gw.state.Connected)
        WriteLog(gw, LogTarget::BothLogs, failureEntry);
    return gw.state.Connected;
}

} // namespace qm
