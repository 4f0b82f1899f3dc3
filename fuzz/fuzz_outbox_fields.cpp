// An outbox file holds whatever the producer (or a damaged disk) wrote: the
// field reader must read any bytes, and what it yields must keep its promises.
#include "pure/outboxfields.h"
#include "pure/recipientfilter.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace
{

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

// A typed reading either keeps the text or is a plain number.
void CheckTyped(const qm::OutboxField &f)
{
    const std::string typed = qm::FieldValue(f, qm::FieldTyping::Typed);
    Check(qm::FieldValue(f, qm::FieldTyping::Text) == f.text);
    if (typed == f.text)
        return;
    Check(!f.quoted && !typed.empty());
    Check(typed.find_first_not_of("-0123456789.") == std::string::npos);
    Check(typed.size() <= f.text.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view content(reinterpret_cast<const char *>(data), size);
    const qm::OutboxFields f = qm::ReadOutboxFields(content);
    Check(f.recipient.text.size() + f.message.text.size() <= size);
    Check(f.recipient.present || f.recipient.text.empty());
    Check(!f.message.present || f.recipient.present);
    // Only quoted fields can hold a line end or a comma.
    if (!f.recipient.quoted)
        Check(f.recipient.text.find_first_of(",\r\n") == std::string::npos);
    if (!f.message.quoted)
        Check(f.message.text.find_first_of(",\r\n") == std::string::npos);
    Check(f.recipient.text.find('"') == std::string::npos || !f.recipient.quoted);
    CheckTyped(f.recipient);
    CheckTyped(f.message);
    const std::string prepared = qm::PrepareRecipient(f.recipient.text);
    Check(prepared.find(' ') == std::string::npos);
    Check(prepared.size() <= f.recipient.text.size());
    return 0;
}
