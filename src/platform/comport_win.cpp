#include "platform/comport.h"

#include <windows.h>

namespace qm
{

std::string ComPortDevice(const std::string &programFolder, int number)
{
    const std::string name = "COM" + std::to_string(number);
    const std::string local = programFolder + name;
    // The attributes are the link's own, so a dangling one is still there.
    if (GetFileAttributesA(local.c_str()) != INVALID_FILE_ATTRIBUTES)
        return local;
    return name;
}

} // namespace qm
