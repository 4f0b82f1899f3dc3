#pragma once
// A Windows error number as the gateway's Failure: the number and the
// system's own text for it, in the system's language.

#include "pure/failure.h"

namespace qm
{

// `code` is a DWORD (GetLastError); taken as its type, unsigned long, so this
// header needs no <windows.h>.
Failure WindowsFailure(unsigned long code);

} // namespace qm
