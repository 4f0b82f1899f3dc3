#pragma once
// What the Win32 comm API is told about a line: the DCB from the line
// settings, and the time-outs of reads and writes.

#include "pure/linesettings.h"

#include <windows.h>

namespace qm
{

// `base` (what GetCommState read) with the line settings, binary mode, DTR
// on (a modem drops the call without it), and RTS/CTS handshaking when asked
// (RTS held on otherwise). No XON/XOFF, no DSR flow or sensitivity, no
// error or NUL replacement, no abort on error: the protocols carry XON and
// XOFF as data, and a line error is reported, not fatal.
DCB DcbFor(const LineSettings &line, bool rtsCts, DCB base);

// How long the reader's read of one piece may take. A read ends once a
// byte has come and the line has then been quiet for the interval, or after
// the total time with nothing: there the reader looks at the modem lines
// and line errors. (Reads that wait in WaitCommEvent would be simpler, but
// on Wine's pseudo-terminals that never reports received data.)
inline constexpr DWORD ReadIntervalMs = 20;
inline constexpr DWORD ReadTotalMs = 100;

// Reads as above; a write may take twice the bytes' time on the line plus
// five seconds, so a modem holding CTS off fails it instead of hanging the
// program.
COMMTIMEOUTS CommTimeoutsFor(int speed);

} // namespace qm
