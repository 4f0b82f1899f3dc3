#include "qt/console/formfields.h"

#include "ui_frmsmsconsole.h"
#include "qt/widgets/ansi.h"

namespace qm
{

std::string FormFields::smsCenterNumber() const
{
    return toAnsi(form_.ui->txtSMSCenterNumber->text());
}
std::string FormFields::protocol() const
{
    return toAnsi(form_.ui->cmbProtocol->currentText());
}
std::string FormFields::operationType() const
{
    return toAnsi(form_.ui->cmbOperationType->currentText());
}
std::string FormFields::authenticationCode() const
{
    return toAnsi(form_.ui->txtAuthenticationCode->text());
}
std::string FormFields::legitimizationCode() const
{
    return toAnsi(form_.ui->txtLegitimizationCode->text());
}
std::string FormFields::storedText() const
{
    return toAnsi(form_.ui->txtStored->text());
}
std::string FormFields::deliveredText() const
{
    return toAnsi(form_.ui->txtDelivered->text());
}
int FormFields::modemIndex() const
{
    return form_.ui->cmbModem->currentIndex();
}
std::string FormFields::baudRate() const
{
    return toAnsi(form_.ui->cmbBaudrate->currentText());
}
std::string FormFields::smsType() const
{
    return toAnsi(form_.ui->cmbSMSType->currentText());
}

void FormFields::setText(const std::string &text)
{
    form_.ui->statusBar->setText(fromAnsi(text));
}
std::string FormFields::text() const
{
    return toAnsi(form_.ui->statusBar->text());
}

} // namespace qm
