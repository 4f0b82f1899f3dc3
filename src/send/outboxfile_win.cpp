// The outbox folder on Windows. Paths are in the system's ANSI code page, as
// everywhere in the core. A reparse point (a symbolic link, a junction) is the
// Windows form of a link: it is never followed, so the gateway never sends a
// file from outside its outbox.

#include "platform/lasterror_win.h"
#include "send/outboxfile.h"

#include <cerrno>
#include <cstdint>
#include <windows.h>

namespace qm
{

namespace
{

constexpr DWORD NotAFile =
    FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;

class Handle
{
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { close(); }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    void close()
    {
        if (valid())
            CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE h_;
};

// The entry itself, never a link's target. The program filling the outbox may
// go on reading, writing, renaming or deleting it meanwhile.
Handle OpenEntry(const std::string &path)
{
    return Handle(CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

std::uint64_t Join(DWORD high, DWORD low)
{
    return (std::uint64_t(high) << 32) | low;
}

// Volume, file index, size, last write and change times: it differs once the
// file has been rewritten or replaced. Empty when the system does not tell.
std::string StampOf(HANDLE h)
{
    BY_HANDLE_FILE_INFORMATION id;
    FILE_BASIC_INFO times;
    if (!GetFileInformationByHandle(h, &id) ||
        !GetFileInformationByHandleEx(h, FileBasicInfo, &times, sizeof times))
        return {};
    return std::to_string(id.dwVolumeSerialNumber) + ":" +
           std::to_string(Join(id.nFileIndexHigh, id.nFileIndexLow)) + ":" +
           std::to_string(Join(id.nFileSizeHigh, id.nFileSizeLow)) + ":" +
           std::to_string(times.LastWriteTime.QuadPart) + ":" +
           std::to_string(times.ChangeTime.QuadPart);
}

} // namespace

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
            *error = WindowsFailure(code);
        return std::nullopt;
    }
    std::optional<std::string> found;
    do {
        constexpr DWORD hidden = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        // The suffix is checked again: "*.dat" also matches "x.data" through
        // its short 8.3 name.
        if ((data.dwFileAttributes & hidden) != 0 || !IsOutboxFileName(data.cFileName) ||
            (passOver && passOver(data.cFileName)))
            continue;
        if ((data.dwFileAttributes & NotAFile) != 0) {
            if (notRegular)
                notRegular(data.cFileName);
            continue;
        }
        // Still being written by a program that shares no reading: reading it
        // now would fail and pass it over, so it waits for a later pass.
        if (!OpenEntry(folder + data.cFileName).valid() &&
            GetLastError() == ERROR_SHARING_VIOLATION)
            continue;
        found = data.cFileName;
        break;
    } while (FindNextFileA(h, &data));
    FindClose(h);
    return found;
}

MaybeFailure DeleteOutboxFile(const std::string &path)
{
    if (DeleteFileA(path.c_str()))
        return std::nullopt;
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
        return std::nullopt;
    return WindowsFailure(code);
}

std::string OutboxFileStamp(const std::string &path)
{
    const Handle file = OpenEntry(path);
    return file.valid() ? StampOf(file.get()) : std::string();
}

OutboxFileRead ReadOutboxFile(const std::string &path)
{
    OutboxFileRead out;
    Handle file = OpenEntry(path);
    if (!file.valid()) {
        out.failure = WindowsFailure(GetLastError());
        return out;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file.get(), &info)) {
        out.failure = WindowsFailure(GetLastError());
        return out;
    }
    // A device (a name such as "COM1.dat" opens the port) is not read either.
    if ((info.dwFileAttributes & NotAFile) != 0 || GetFileType(file.get()) != FILE_TYPE_DISK) {
        out.failure = Failure{EINVAL, (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0
                                          ? "Not a regular file (a reparse point)"
                                          : "Not a regular file"};
        return out;
    }
    const std::uint64_t size = Join(info.nFileSizeHigh, info.nFileSizeLow);
    if (size > MaxMessageFileBytes) {
        out.failure = FileTooLarge(std::size_t(size));
        return out;
    }
    out.stamp = StampOf(file.get());
    std::string content;
    char buffer[4096];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
            out.failure = WindowsFailure(GetLastError());
            return out;
        }
        if (got == 0)
            break;
        content.append(buffer, got);
        // A file growing while it is read is held to the same limit.
        if (content.size() > MaxMessageFileBytes) {
            out.failure = FileTooLarge(content.size());
            return out;
        }
    }
    file.close(); // closed before the fields are even looked at
    out.fields = ReadOutboxFields(content);
    return out;
}

} // namespace qm
