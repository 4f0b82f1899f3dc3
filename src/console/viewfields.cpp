#include "console/viewfields.h"

#include "console/face.h"

namespace qm
{

using C = ConsoleControl;

std::string ViewFields::listText(ConsoleControl list) const
{
    const std::vector<std::string> &entries = ListEntries(list);
    const int i = view_.selected(list);
    return i >= 0 && i < int(entries.size()) ? entries[std::size_t(i)] : std::string();
}

std::string ViewFields::smsCenterNumber() const
{
    return view_.text(C::txtSMSCenterNumber);
}
std::string ViewFields::protocol() const
{
    return listText(C::cmbProtocol);
}
std::string ViewFields::operationType() const
{
    return listText(C::cmbOperationType);
}
std::string ViewFields::authenticationCode() const
{
    return view_.text(C::txtAuthenticationCode);
}
std::string ViewFields::legitimizationCode() const
{
    return view_.text(C::txtLegitimizationCode);
}
std::string ViewFields::storedText() const
{
    return view_.text(C::txtStored);
}
std::string ViewFields::deliveredText() const
{
    return view_.text(C::txtDelivered);
}
int ViewFields::modemIndex() const
{
    return view_.selected(C::cmbModem);
}
std::string ViewFields::baudRate() const
{
    return listText(C::cmbBaudrate);
}
std::string ViewFields::smsType() const
{
    return listText(C::cmbSMSType);
}

void ViewFields::setText(const std::string &text)
{
    view_.setText(C::statusBar, text);
}
std::string ViewFields::text() const
{
    return view_.text(C::statusBar);
}

} // namespace qm
