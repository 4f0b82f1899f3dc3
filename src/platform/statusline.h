#pragma once

#include <string>

namespace qm
{

// The console's one-line status text.
class StatusLine
{
public:
    virtual ~StatusLine() = default;
    virtual void setText(const std::string &text) = 0;
    virtual std::string text() const = 0;
};

} // namespace qm
