#pragma once

#include "core/gateway.h"

#include <string>
#include <string_view>

namespace qm
{

// Places the data call: forgets everything of an earlier call, re-opens the
// port, writes "ATDT" + number + CR, waits (pumping events) for the modem's
// first answer or the sec10 time-out, then blocks up to 30 s for the carrier.
// On return Connected tells whether the call is up: never when the modem did
// not answer. A failed dial first serves what the modem said meanwhile. Port
// failures are logged as Err-0003 and leave Connected as it was.
void DialSMSCenter(Gateway &gw, std::string number);

} // namespace qm
