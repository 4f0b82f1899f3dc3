#include "platform/comport.h"

#include <sys/stat.h>

namespace qm
{

std::string ComPortDevice(const std::string &programFolder, int number)
{
    const std::string local = programFolder + "COM" + std::to_string(number);
    // lstat does not follow a link, so a dangling one is still there.
    struct stat st {
    };
    if (::lstat(local.c_str(), &st) == 0)
        return local;
    return "/dev/ttyS" + std::to_string(number - 1);
}

} // namespace qm
