#include "log/writelog.h"

#include "log/appendentry.h"

namespace qm
{
namespace
{

void reportFailure(Gateway &gw)
{
    gw.notifier.message("Can't Create File", "Unable to Create Log File\rPlease Contact Vendor",
                        NoticeIcon::None);
}

} // namespace

bool WriteLog(Gateway &gw, LogTarget target, std::string_view message, bool flag)
{
    if (target == LogTarget::StatusLine) {
        gw.status.setText(std::string(message));
        return true;
    }
    if (target != LogTarget::MasterLog && target != LogTarget::EventsLog &&
        target != LogTarget::BothLogs)
        return false;

    std::string entry = gw.clock.dateTimeText();
    entry += ": ";
    entry += message;
    entry += '/';
    entry += flag ? "True" : "False";
    entry += "\r\n";

    // An entry meant for both logs goes to whichever can take it: a Master.Log
    // that cannot be written must not also cost the Events.Log copy. The
    // operator is told once per entry.
    bool all = true, any = false;
    const auto append = [&](std::string_view name) {
        const bool ok = !AppendWholeEntry(gw.state.AppPath + std::string(name), entry);
        all = all && ok;
        any = any || ok;
    };
    if (target != LogTarget::EventsLog)
        append(MasterLogName);
    if (target != LogTarget::MasterLog)
        append(EventsLogName);
    if (!all)
        reportFailure(gw);
    return any;
}

} // namespace qm
