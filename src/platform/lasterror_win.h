#pragma once
// A Windows error number as the gateway's Failure: the number and the
// system's own text for it, in the system's language.

#include "pure/failure.h"

#include <windows.h>

namespace qm
{

Failure WindowsFailure(DWORD code);

} // namespace qm
