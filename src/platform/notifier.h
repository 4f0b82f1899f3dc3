#pragma once
// Modal notices to the operator. The gateway is unattended, so every box it
// shows stops it until someone answers; tests answer through a fake.

#include <string>

namespace qm
{

enum class NoticeIcon { None, Critical, Exclamation, Information };

class Notifier
{
public:
    virtual ~Notifier() = default;

    // A modal box with a single OK button; returns when it has been closed.
    virtual void message(const std::string &title, const std::string &text,
                         NoticeIcon icon = NoticeIcon::None) = 0;

    // A modal Yes/No question; true means Yes.
    virtual bool askYesNo(const std::string &title, const std::string &text) = 0;
};

} // namespace qm
