#pragma once
// The port's single event handler and the modem answer reader. Received text
// is appended to ReceiveBuffer, logged, and split into answer lines; a few
// answers ("CONNECT", "NO CARRIER", "ERROR", "BUSY") are acted upon whatever
// routine is waiting at the time.

#include "core/gateway.h"

#include <string>
#include <string_view>

namespace qm
{

// Handles one port event. Wire it with
// port.setEventHandler([&gw](PortEvent e) { OnPortEvent(gw, e); }).
void OnPortEvent(Gateway &gw, PortEvent event);

// Feeds one received piece into gw.state.modemLine; each CR completes a line
// (trimmed) that goes to InterpretModemLine. Characters between a CR and the
// next LF are dropped.
void CollectModemLines(Gateway &gw, std::string_view received);

// Acts on one answer line.
void InterpretModemLine(Gateway &gw, std::string_view line);

// The text logged for an event code (empty for most codes).
std::string_view PortEventText(PortEvent event);

} // namespace qm
