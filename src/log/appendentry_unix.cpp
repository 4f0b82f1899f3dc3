#include "log/appendentry.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm
{
namespace
{

Failure lastError()
{
    const int code = errno;
    return {code, std::strerror(code)};
}

} // namespace

MaybeFailure AppendWholeEntry(const std::string &path, std::string_view entry)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return lastError();
    MaybeFailure failed;
    struct stat before = {};
    if (::fstat(fd, &before) != 0) {
        failed = lastError();
    } else {
        const ssize_t n = ::write(fd, entry.data(), entry.size());
        if (n != static_cast<ssize_t>(entry.size())) {
            // ENOSPC or EFBIG once the disk or quota is full; a short write
            // of a part reports no error of its own.
            failed = n < 0 ? lastError() : Failure{ENOSPC, std::strerror(ENOSPC)};
            if (n > 0)
                (void)::ftruncate(fd, before.st_size);
        }
    }
    if (::close(fd) != 0 && !failed)
        failed = lastError();
    return failed;
}

} // namespace qm
