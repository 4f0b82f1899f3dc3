#pragma once
// The console's fields are the live settings: routines read them at the
// moment they need them. Texts are single-byte strings.

#include <string>

namespace qm
{

class ConsoleFields
{
public:
    virtual ~ConsoleFields() = default;
    virtual std::string smsCenterNumber() const = 0; // txtSMSCenterNumber
    virtual std::string protocol() const = 0;        // cmbProtocol text
    virtual std::string operationType() const = 0;   // cmbOperationType text
    virtual std::string authenticationCode() const = 0;
    virtual std::string legitimizationCode() const = 0;
    virtual std::string storedText() const = 0;    // txtStored
    virtual std::string deliveredText() const = 0; // txtDelivered
    virtual int modemIndex() const = 0;            // cmbModem position, -1 when none
    virtual std::string baudRate() const = 0;      // cmbBaudrate text
    virtual std::string smsType() const = 0;       // cmbSMSType text, e.g. "N,8,1"
};

} // namespace qm
