#include "send/messagefile.h"

#include "log/writelog.h"
#include "pure/controlchars.h"
#include "pure/recipientfilter.h"
#include "send/outboxfile.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <utility>

namespace qm
{
namespace
{

bool stillThere(const std::string &path)
{
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(path), ec) || ec;
}

constexpr std::chrono::seconds SettleTime{1}, SettleTimeWithoutLineEnd{10}, ForgetAfter{60};

bool endsWithLineEnd(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    char tail[2] = {};
    return in.seekg(-2, std::ios::end) && in.read(tail, 2) && tail[0] == '\r' && tail[1] == '\n';
}

bool looksComplete(GatewayState &st, const std::string &path, const std::string &name,
                   TimePoint now)
{
    // Links, folders and the like are no message files: the picker's own
    // rules deal with them at once.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(path, ec)))
        return true;
    // Differs once the file has been written to.
    const std::string stamp = OutboxFileStamp(path);
    auto [it, fresh] = st.OutboxSightings.try_emplace(name);
    GatewayState::Sighting &seen = it->second;
    seen.lastSeen = now;
    if (fresh || seen.stamp != stamp) {
        seen.stamp = stamp;
        seen.unchangedSince = now;
        return false;
    }
    const auto unchanged = now - seen.unchangedSince;
    return unchanged >= SettleTimeWithoutLineEnd ||
           (unchanged >= SettleTime && endsWithLineEnd(path));
}

// Files that left the outbox unseen are forgotten now and then.
void forgetOldSightings(GatewayState &st, TimePoint now)
{
    if (now - st.SightingsPruned < ForgetAfter)
        return;
    st.SightingsPruned = now;
    std::erase_if(st.OutboxSightings,
                  [now](const auto &entry) { return now - entry.second.lastSeen >= ForgetAfter; });
}

} // namespace

std::string OutboxFolder(const Gateway &gw)
{
    return gw.state.AppPath + "outbox" + PathSeparator;
}

std::optional<OutboxMessage> ReadMessageFile(Gateway &gw, const std::string &fileName,
                                             FieldTyping typing)
{
    const std::string path = OutboxFolder(gw) + fileName;
    OutboxFileRead read = gw.readMessageFile ? gw.readMessageFile(path) : ReadOutboxFile(path);
    if (read.failure) {
        // Sending empty fields would lose the message behind a "sent" entry.
        const bool passedOver = stillThere(path);
        if (passedOver)
            PassOverMessageFile(gw, fileName);
        WriteLog(gw, LogTarget::BothLogs,
                 "Message file could not be read: " + fileName +
                     (passedOver ? PassedOverText : "") + FailureSuffix(*read.failure));
        return std::nullopt;
    }
    gw.state.ReadFileName = fileName;
    gw.state.ReadFileStamp = read.stamp;
    OutboxMessage message = ToOutboxMessage(read.fields, typing);
    message.Recipient = PrepareRecipient(message.Recipient, gw.recipientFilter);
    return message;
}

void DeleteMessageFile(Gateway &gw, const std::string &fileName)
{
    if (fileName.empty())
        return;
    const std::string path = OutboxFolder(gw) + fileName;
    GatewayState &st = gw.state;
    const std::string readStamp =
        fileName == st.ReadFileName ? std::exchange(st.ReadFileStamp, {}) : std::string();
    st.ReadFileName.clear();
    const std::string stampNow = readStamp.empty() ? std::string() : OutboxFileStamp(path);
    if (!stampNow.empty() && stampNow != readStamp) {
        // Written again while it was being sent: deleting it would lose the
        // new content, which the next pass sends.
        WriteLog(gw, LogTarget::BothLogs,
                 "Message file changed while it was being sent: " + fileName +
                     ". The new content is sent on the next pass.");
        return;
    }
    const MaybeFailure failed =
        gw.deleteMessageFile ? gw.deleteMessageFile(path) : DeleteOutboxFile(path);
    st.OutboxSightings.erase(fileName);
    if (!failed)
        return;
    // Left in place it would be sent again on every pass.
    PassOverMessageFile(gw, fileName);
    WriteLog(gw, LogTarget::BothLogs,
             "Message file could not be deleted: " + fileName + PassedOverText +
                 FailureSuffix(*failed));
}

void PassOverMessageFile(Gateway &gw, const std::string &fileName)
{
    if (fileName.empty())
        return;
    gw.state.PassedOverFiles.insert(fileName);
    gw.state.OutboxSightings.erase(fileName);
}

void KeepUnloggedMessageFile(Gateway &gw, const std::string &fileName)
{
    if (fileName.empty() || !gw.state.UnloggedFiles.insert(fileName).second)
        return;
    const std::string text = "Message kept in the outbox: " + fileName +
                             ". Its text could not be written to Master.Log or Events.Log.";
    gw.status.setText(text);
    gw.notifier.message(gw.programName, text, NoticeIcon::Exclamation);
}

std::optional<std::string> PickMessageFile(Gateway &gw)
{
    GatewayState &st = gw.state;
    const std::string folder = OutboxFolder(gw);
    const TimePoint now = gw.clock.now();
    forgetOldSightings(st, now);
    MaybeFailure error;
    auto name = PickOutboxFile(
        folder, &error,
        [&](const std::string &n) {
            return st.PassedOverFiles.count(n) != 0 || !looksComplete(st, folder + n, n, now);
        },
        [&gw](const std::string &n) {
            // Logged once: the name stays passed over for the rest of the run.
            PassOverMessageFile(gw, n);
            WriteLog(gw, LogTarget::BothLogs,
                     "Outbox entry is not a regular file and is not sent: " + n + PassedOverText);
        });
    if (!error) {
        st.OutboxListingFailure.clear();
        return name;
    }
    const std::string text = "Outbox folder could not be listed: " + folder + FailureSuffix(*error);
    if (text != st.OutboxListingFailure) {
        st.OutboxListingFailure = text;
        WriteLog(gw, LogTarget::BothLogs, text);
    }
    return name;
}

} // namespace qm
