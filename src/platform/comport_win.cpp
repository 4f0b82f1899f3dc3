#include "platform/comport.h"

namespace qm
{

// COMn is a device name in every folder on Windows: "<folder>\COM3" is the
// serial port itself, never a file, and handed to the port library as a
// path it would not open. So COM n is always the system's own port.
std::string ComPortDevice(const std::string &, int number)
{
    return "COM" + std::to_string(number);
}

} // namespace qm
