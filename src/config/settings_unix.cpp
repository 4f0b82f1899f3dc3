// Replacing smsconf.conf on Linux: a temporary file beside it, renamed over it.

#include "config/settings.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm
{
namespace
{
Failure lastError(const char *what)
{
    const int e = errno;
    return Failure{e, std::string(what) + ": " + std::strerror(e)};
}
} // namespace

MaybeFailure WriteFileAtomically(const std::string &path, const std::string &content)
{
    // Replacing goes through the folder, so it would succeed over a file the
    // operator made read-only: honour the file's own permission instead.
    struct stat st {
    };
    if (::stat(path.c_str(), &st) == 0 &&
        ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0))
        return Failure{EACCES, "the file is read-only"};
    std::string tmp = path + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data()); // created with mode 0600
    if (fd < 0)
        return lastError("cannot create a temporary file");
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Failure f = lastError("cannot write");
            ::close(fd);
            ::unlink(tmp.c_str());
            return f;
        }
        done += std::size_t(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        Failure f = lastError("cannot write");
        ::unlink(tmp.c_str());
        return f;
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        Failure f = lastError("cannot replace");
        ::unlink(tmp.c_str());
        return f;
    }
    return std::nullopt;
}

} // namespace qm
