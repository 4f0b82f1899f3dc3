#pragma once
// Which device "COM n" means. On Linux a file named COMn in the program's
// folder wins (a link to /dev/ttyUSB0, to a pseudo-terminal served by the
// simulator ...); else, and always on Windows, the platform's own name for
// its n-th serial port.

#include <string>

namespace qm
{

// `programFolder` ends with a separator; `number` is 1-based. On Linux the
// fallback is /dev/ttyS(n-1), on Windows "COMn" (the port library makes the
// \\.\ path of it). A dangling link still names the port (its server is gone):
// opening it then fails plainly instead of reaching some other device.
std::string ComPortDevice(const std::string &programFolder, int number);

} // namespace qm
