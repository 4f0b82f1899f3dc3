#pragma once

#include "core/gateway.h"

namespace qm
{

// Saves the configuration (once start-up is over), then brings the port's
// number, line settings and RTS/CTS handshaking in line with the console's
// modem lists, asking first when the port is open.
void ApplyModemSettings(Gateway &gw);

} // namespace qm
