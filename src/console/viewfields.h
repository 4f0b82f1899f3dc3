#pragma once
// The console's fields as the gateway reads them, and its status line, over
// the console's view: a list's text is the entry selected in it.

#include "console/views.h"
#include "platform/consolefields.h"
#include "platform/statusline.h"

namespace qm
{

class ViewFields final : public ConsoleFields, public StatusLine
{
public:
    explicit ViewFields(ConsoleView &view) : view_(view) {}

    // ConsoleFields
    std::string smsCenterNumber() const override;
    std::string protocol() const override;
    std::string operationType() const override;
    std::string authenticationCode() const override;
    std::string legitimizationCode() const override;
    std::string storedText() const override;
    std::string deliveredText() const override;
    int modemIndex() const override;
    std::string baudRate() const override;
    std::string smsType() const override;

    // StatusLine: the caption of statusBar.
    void setText(const std::string &text) override;
    std::string text() const override;

private:
    std::string listText(ConsoleControl list) const;

    ConsoleView &view_;
};

} // namespace qm
