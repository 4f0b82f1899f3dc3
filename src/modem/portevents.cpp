#include "modem/portevents.h"

#include "log/writelog.h"
#include "pure/controlchars.h"
#include "pure/modemanswers.h"
#include "pure/text.h"

namespace qm
{
namespace
{

void notify(Gateway &gw, const std::string &text)
{
    gw.notifier.message(gw.programName, text, NoticeIcon::None);
}

} // namespace

std::string_view PortEventText(PortEvent event)
{
    switch (event) {
    case PortEvent::DsrChanged:
        return "comEvDSR";
    case PortEvent::Break:
        return "Break";
    case PortEvent::Framing:
        return "Framing";
    case PortEvent::Overrun:
        return "Overrun";
    case PortEvent::RxOverflow:
        return "OverFlow";
    case PortEvent::Parity:
        return "Parity";
    case PortEvent::TxFull:
        return "TX Full";
    case PortEvent::DeviceSettings:
        return "DBC";
    default:
        return {};
    }
}

void OnPortEvent(Gateway &gw, PortEvent event)
{
    switch (event) {
    case PortEvent::DataReceived: {
        const std::string received = gw.port.readAll();
        gw.state.ReceiveBuffer += received;
        WriteLog(gw, LogTarget::MasterLog, "Recieved:" + received);
        CollectModemLines(gw, received);
        break;
    }
    case PortEvent::TransmitDrained:
        // A port that is closed meanwhile holds nothing more to send; checking
        // it keeps this wait from outliving the port.
        while (gw.port.isOpen() && gw.port.bytesToWrite() > 0)
            gw.pump.pump();
        break;
    case PortEvent::CarrierChanged:
        if (gw.port.carrierDetect()) {
            gw.status.setText("Connected");
            gw.state.Connected = true;
        } else {
            gw.status.setText("Disconnected");
            gw.state.Connected = false;
        }
        break;
    default:
        break;
    }
    WriteLog(gw, LogTarget::MasterLog, PortEventText(event), false);
}

void CollectModemLines(Gateway &gw, std::string_view received)
{
    CollectModemLines(gw.state.modemLine, received,
                      [&gw](const std::string &line) { InterpretModemLine(gw, line); });
}

void InterpretModemLine(Gateway &gw, std::string_view line)
{
    const ModemAnswer answer = ClassifyModemLine(line);
    if (answer.connect) {
        gw.state.Connected = true;
        gw.status.setText("Connected");
        return;
    }
    if (answer.noCarrier)
        notify(gw, "There is no carrier.  Please make sure that all your cables are properly "
                   "connected");
    if (answer.error)
        notify(gw, "An Input Error occurred, it was " + std::string(TrimSpaces(line)) + ".");
    else if (answer.busy)
        notify(gw, "The number is busy.  Please try again later.");
}

} // namespace qm
