#pragma once
// The console's fields as the core routines read them, and its status line,
// over the form's controls: typed text as single-byte text.

#include "qt/console/consoleface.h"
#include "platform/consolefields.h"
#include "platform/statusline.h"

namespace qm
{

class FormFields final : public ConsoleFields, public StatusLine
{
public:
    explicit FormFields(frmSMSConsole &form) : form_(form) {}

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

    // StatusLine
    void setText(const std::string &text) override;
    std::string text() const override;

private:
    frmSMSConsole &form_;
};

} // namespace qm
