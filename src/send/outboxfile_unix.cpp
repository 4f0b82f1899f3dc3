// The outbox folder on Linux.

#include "send/outboxfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm
{

namespace
{

Failure ErrnoFailure(int code)
{
    return Failure{code, std::strerror(code)};
}

} // namespace

std::optional<std::string> PickOutboxFile(const std::string &folder, MaybeFailure *error,
                                          const PassOver &passOver, const NotRegular &notRegular)
{
    if (error)
        error->reset();
    DIR *dir = opendir(folder.c_str());
    if (!dir) {
        if (error && errno != ENOENT)
            *error = ErrnoFailure(errno);
        return std::nullopt;
    }
    std::optional<std::string> found;
    for (;;) {
        errno = 0;
        const dirent *entry = readdir(dir);
        if (!entry) {
            if (error && errno != 0)
                *error = ErrnoFailure(errno);
            break;
        }
        const std::string name = entry->d_name;
        if (!IsOutboxFileName(name) || (passOver && passOver(name)))
            continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN) {
            // lstat does not follow a link.
            struct stat st {
            };
            regular = ::lstat((folder + name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
        }
        if (regular) {
            found = name;
            break;
        }
        if (notRegular)
            notRegular(name);
    }
    closedir(dir);
    return found;
}

MaybeFailure DeleteOutboxFile(const std::string &path)
{
    if (std::remove(path.c_str()) == 0 || errno == ENOENT)
        return std::nullopt;
    return ErrnoFailure(errno);
}

namespace
{
std::string StampOf(const struct stat &st)
{
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + ":" +
           std::to_string(st.st_size) + ":" + std::to_string(st.st_mtim.tv_sec) + "." +
           std::to_string(st.st_mtim.tv_nsec) + ":" + std::to_string(st.st_ctim.tv_sec) + "." +
           std::to_string(st.st_ctim.tv_nsec);
}
} // namespace

std::string OutboxFileStamp(const std::string &path)
{
    struct stat st {
    };
    return ::lstat(path.c_str(), &st) == 0 ? StampOf(st) : std::string();
}

OutboxFileRead ReadOutboxFile(const std::string &path)
{
    OutboxFileRead out;
    // No link is followed, and a device or pipe neither blocks nor is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        out.failure = code == ELOOP ? Failure{EINVAL, "Not a regular file (a symbolic link)"}
                                    : ErrnoFailure(code);
        return out;
    }
    struct Closer {
        int fd;
        ~Closer()
        {
            if (fd >= 0)
                ::close(fd);
        }
    } closer{fd};
    struct stat st {
    };
    if (::fstat(fd, &st) != 0) {
        out.failure = ErrnoFailure(errno);
        return out;
    }
    if (!S_ISREG(st.st_mode)) {
        out.failure = Failure{EINVAL, "Not a regular file"};
        return out;
    }
    if (std::size_t(st.st_size) > MaxMessageFileBytes) {
        out.failure = FileTooLarge(std::size_t(st.st_size));
        return out;
    }
    out.stamp = StampOf(st);
    std::string content;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            out.failure = ErrnoFailure(errno);
            return out;
        }
        if (got == 0)
            break;
        content.append(buffer, std::size_t(got));
        // A file growing while it is read is held to the same limit.
        if (content.size() > MaxMessageFileBytes) {
            out.failure = FileTooLarge(content.size());
            return out;
        }
    }
    ::close(fd);
    closer.fd = -1; // closed before the fields are even looked at
    out.fields = ReadOutboxFields(content);
    return out;
}

} // namespace qm
