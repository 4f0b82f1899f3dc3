#include "outbox/outboxfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qm
{

namespace
{

Failure ErrnoFailure(int code)
{
    return Failure{code, std::strerror(code)};
}

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool IsOutboxFileName(const std::string &name)
{
    static constexpr char suffix[] = ".dat";
    constexpr std::size_t n = sizeof suffix - 1;
    if (name.empty() || name.front() == '.' || name.size() <= n)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (Lower(name[name.size() - n + i]) != suffix[i])
            return false;
    }
    return true;
}

#ifdef _WIN32

std::optional<std::string> PickOutboxFile(const std::string &folder, MaybeFailure *error,
                                          const PassOver &passOver, const NotRegular &notRegular)
{
    if (error)
        error->reset();
    WIN32_FIND_DATAA data;
    const std::string pattern = folder + "*.dat";
    HANDLE h = FindFirstFileA(pattern.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (error && code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND)
            *error = Failure{static_cast<int>(code), "cannot list " + folder};
        return std::nullopt;
    }
    std::optional<std::string> found;
    do {
        constexpr DWORD hidden = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        constexpr DWORD notFile =
            FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
        // The suffix is checked again: "*.dat" also matches "x.data" through
        // its short 8.3 name.
        if ((data.dwFileAttributes & hidden) != 0 || !IsOutboxFileName(data.cFileName) ||
            (passOver && passOver(data.cFileName)))
            continue;
        if ((data.dwFileAttributes & notFile) != 0) {
            if (notRegular)
                notRegular(data.cFileName);
            continue;
        }
        found = data.cFileName;
        break;
    } while (FindNextFileA(h, &data));
    FindClose(h);
    return found;
}

#else

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

#endif

MaybeFailure DeleteOutboxFile(const std::string &path)
{
    if (std::remove(path.c_str()) == 0 || errno == ENOENT)
        return std::nullopt;
    return ErrnoFailure(errno);
}

namespace
{
Failure TooLong(std::size_t size)
{
    return Failure{EFBIG, "File too large: " + std::to_string(size) + " bytes, the limit is " +
                              std::to_string(MaxMessageFileBytes)};
}
} // namespace

#ifndef _WIN32

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
        out.failure = TooLong(std::size_t(st.st_size));
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
            out.failure = TooLong(content.size());
            return out;
        }
    }
    ::close(fd);
    closer.fd = -1; // closed before the fields are even looked at
    out.fields = ReadOutboxFields(content);
    return out;
}

#else

std::string OutboxFileStamp(const std::string &)
{
    return {};
}

OutboxFileRead ReadOutboxFile(const std::string &path)
{
    OutboxFileRead out;
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(path.c_str(), "rb"),
                                                          &std::fclose);
    if (!file) {
        out.failure = ErrnoFailure(errno);
        return out;
    }
    std::string content;
    char buffer[4096];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        content.append(buffer, got);
        if (content.size() > MaxMessageFileBytes) {
            out.failure = TooLong(content.size());
            return out;
        }
        if (got < sizeof buffer)
            break;
    }
    if (std::ferror(file.get())) {
        const int code = errno != 0 ? errno : EIO;
        out.failure = ErrnoFailure(code);
        return out;
    }
    file.reset(); // closed before the fields are even looked at
    out.fields = ReadOutboxFields(content);
    return out;
}

#endif

} // namespace qm
