#pragma once

#include "core/gateway.h"

#include <string_view>

namespace qm
{

// The one way a routine makes sure a call is up: dials the console's SMS
// Centre number when none is; when there is still none, writes
// `failureEntry` to both logs. True when a call is up.
bool EnsureCall(Gateway &gw, std::string_view failureEntry);

} // namespace qm
