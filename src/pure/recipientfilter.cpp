#include "pure/recipientfilter.h"

#include <algorithm>

namespace qm
{

std::unique_ptr<RecipientFilter> MakePassThroughRecipientFilter()
{
    return std::make_unique<PassThroughRecipientFilter>();
}

std::string StripRecipient(std::string recipient)
{
    std::erase(recipient, ' ');
    std::string out;
    out.reserve(recipient.size());
    for (std::size_t i = 0; i < recipient.size(); ++i) {
        if (recipient[i] == '\r' && i + 1 < recipient.size() && recipient[i + 1] == '\n') {
            ++i;
            continue;
        }
        out += recipient[i];
    }
    return out;
}

std::string PrepareRecipient(const std::string &recipient, const RecipientFilterFactory &factory)
{
    std::string filtered = recipient;
    if (factory) {
        if (std::unique_ptr<RecipientFilter> filter = factory()) {
            filter->SetRecipient(recipient);
            filtered = filter->Value();
        }
    }
    return StripRecipient(std::move(filtered));
}

} // namespace qm
