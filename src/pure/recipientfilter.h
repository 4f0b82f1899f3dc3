#pragma once
// The recipient filter: a component created for each message read from a
// file. Its one method is handed the recipient; afterwards its default value
// is the recipient to use. The shipped filter returns the recipient as given.

#include <functional>
#include <memory>
#include <string>

namespace qm
{

class RecipientFilter
{
public:
    virtual ~RecipientFilter() = default;
    // The one method: takes the recipient as read from the file.
    virtual void SetRecipient(const std::string &recipient) = 0;
    // The default value: the recipient to use from now on.
    virtual std::string Value() const = 0;
};

class PassThroughRecipientFilter final : public RecipientFilter
{
public:
    void SetRecipient(const std::string &recipient) override { recipient_ = recipient; }
    std::string Value() const override { return recipient_; }

private:
    std::string recipient_;
};

// Creates one filter per message. Returning nullptr means the component could
// not be created: the recipient then stays as it was read.
using RecipientFilterFactory = std::function<std::unique_ptr<RecipientFilter>()>;

std::unique_ptr<RecipientFilter> MakePassThroughRecipientFilter();

// Passes `recipient` through a fresh filter from `factory` (released before
// returning), then removes every blank and every CR LF pair; a lone CR or LF
// stays.
std::string
PrepareRecipient(const std::string &recipient,
                 const RecipientFilterFactory &factory = MakePassThroughRecipientFilter);

// The blank and CR LF removal alone (test messages skip the filter and this).
std::string StripRecipient(std::string recipient);

} // namespace qm
