#include "log/writelog.h"

#include <cstdio>

namespace qm
{
namespace
{

// Opens, appends and closes; false when any step failed.
bool appendEntry(const std::string &path, const std::string &entry)
{
    std::FILE *f = std::fopen(path.c_str(), "ab");
    if (!f)
        return false;
    const bool written = std::fwrite(entry.data(), 1, entry.size(), f) == entry.size();
    const bool closed = std::fclose(f) == 0;
    return written && closed;
}

void reportFailure(Gateway &gw)
{
    gw.notifier.message("Can't Create File", "Unable to Create Log File\rPlease Contact Vendor",
                        NoticeIcon::None);
}

} // namespace

void WriteLog(Gateway &gw, LogTarget target, std::string_view message, bool flag)
{
    if (target == LogTarget::StatusLine) {
        gw.status.setText(std::string(message));
        return;
    }
    if (target != LogTarget::MasterLog && target != LogTarget::EventsLog &&
        target != LogTarget::BothLogs)
        return;

    std::string entry = gw.clock.dateTimeText();
    entry += ": ";
    entry += message;
    entry += '/';
    entry += flag ? "True" : "False";
    entry += "\r\n";

    // An entry meant for both logs goes to whichever can take it: a Master.Log
    // that cannot be written must not also cost the Events.Log copy. The
    // operator is told once per entry.
    bool written = true;
    if (target != LogTarget::EventsLog)
        written = appendEntry(gw.state.AppPath + std::string(MasterLogName), entry);
    if (target != LogTarget::MasterLog)
        written = appendEntry(gw.state.AppPath + std::string(EventsLogName), entry) && written;
    if (!written)
        reportFailure(gw);
}

} // namespace qm
