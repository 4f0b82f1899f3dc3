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

// Handles one port event by its code (PortEvent::...). Wire it with
// port.setEventHandler([&gw](int code) { OnPortEvent(gw, code); }).
void OnPortEvent(Gateway &gw, int code);

// Feeds one received piece into gw.state.modemLine; each CR completes a line
// (trimmed) that goes to InterpretModemLine. Characters between a CR and the
// next LF are dropped.
void CollectModemLines(Gateway &gw, std::string_view received);

// Acts on one answer line.
void InterpretModemLine(Gateway &gw, std::string_view line);

// The text logged for an event code (empty for most codes).
std::string_view PortEventText(int code);

} // namespace qm
