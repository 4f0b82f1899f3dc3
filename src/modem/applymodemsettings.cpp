#include "modem/applymodemsettings.h"

#include "config/settings.h"
#include "log/writelog.h"

#include <string>

namespace qm
{
namespace
{

MaybeFailure apply(Gateway &gw)
{
    SerialPort &port = gw.port;
    const std::string wanted = gw.fields.baudRate() + "," + gw.fields.smsType();
    const int number = gw.fields.modemIndex() + 1;

    if (port.isOpen()) {
        if (!gw.notifier.askYesNo("Modem Settings",
                                  "Do you really want to change the modem Settings?"))
            return std::nullopt; // the port keeps its old settings
        if (auto f = port.close())
            return f;
        gw.state.TapLoggedIn = false; // the login ended with the call
        if (auto f = port.setSettings(wanted))
            return f;
        if (auto f = port.setPortNumber(number))
            return f;
        if (auto f = port.setRtsCtsHandshaking())
            return f;
        WriteLog(gw, LogTarget::BothLogs, "Modem Settings Changed");
        return std::nullopt;
    }

    if (port.settings() != wanted)
        if (auto f = port.setSettings(wanted))
            return f;
    if (port.portNumber() != number)
        if (auto f = port.setPortNumber(number))
            return f;
    return port.setRtsCtsHandshaking();
}

} // namespace

void ApplyModemSettings(Gateway &gw)
{
    if (gw.state.SettingsLoaded)
        SaveSettings(gw);
    if (auto f = apply(gw))
        WriteLog(gw, LogTarget::BothLogs,
                 "Err-0018:Error occured in setting modem properties" + FailureSuffix(*f));
}

} // namespace qm
