#include "outbox/messagefile.h"

#include "log/controlchars.h"
#include "log/writelog.h"
#include "outbox/outboxfile.h"
#include "outbox/recipientfilter.h"

#include <filesystem>
#include <utility>

namespace qm
{
namespace
{

std::string failureText(const Failure &f)
{
    return std::string(1, Ctl::CR) + "Error:" + std::to_string(f.code) + "-" + f.description;
}

bool stillThere(const std::string &path)
{
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(path), ec) || ec;
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
    OutboxFileRead read = gw.readMessageFile(path);
    if (read.failure) {
        // Sending empty fields would lose the message behind a "sent" entry.
        if (stillThere(path))
            gw.state.PassedOverFiles.insert(fileName);
        WriteLog(gw, LogTarget::BothLogs,
                 "Message file could not be read: " + fileName + failureText(*read.failure));
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
    const MaybeFailure failed = gw.deleteMessageFile(path);
    if (!failed)
        return;
    // Left in place it would be sent again on every pass.
    gw.state.PassedOverFiles.insert(fileName);
    WriteLog(gw, LogTarget::BothLogs,
             "Message file could not be deleted: " + fileName +
                 ". It is passed over until the gateway is restarted." + failureText(*failed));
}

std::optional<std::string> PickMessageFile(Gateway &gw)
{
    GatewayState &st = gw.state;
    const std::string folder = OutboxFolder(gw);
    MaybeFailure error;
    auto name = PickOutboxFile(
        folder, &error, [&st](const std::string &n) { return st.PassedOverFiles.count(n) != 0; },
        [&gw](const std::string &n) {
            // Logged once: the name stays passed over for the rest of the run.
            gw.state.PassedOverFiles.insert(n);
            WriteLog(gw, LogTarget::BothLogs,
                     "Outbox entry is not a regular file and is not sent: " + n +
                         ". It is passed over until the gateway is restarted.");
        });
    if (!error) {
        st.OutboxListingFailure.clear();
        return name;
    }
    const std::string text = "Outbox folder could not be listed: " + folder + failureText(*error);
    if (text != st.OutboxListingFailure) {
        st.OutboxListingFailure = text;
        WriteLog(gw, LogTarget::BothLogs, text);
    }
    return name;
}

} // namespace qm
