#include "log/appendentry.h"

#include "platform/lasterror_win.h"

#include <windows.h>

namespace qm
{

MaybeFailure AppendWholeEntry(const std::string &path, std::string_view entry)
{
    // Write access (not only append access): a short write is cut back.
    const HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return WindowsFailure(GetLastError());
    MaybeFailure failed;
    LARGE_INTEGER before = {};
    DWORD written = 0;
    const LARGE_INTEGER zero = {};
    if (!GetFileSizeEx(h, &before) || !SetFilePointerEx(h, zero, nullptr, FILE_END)) {
        failed = WindowsFailure(GetLastError());
    } else if (!WriteFile(h, entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr) ||
               written != entry.size()) {
        const DWORD code = GetLastError();
        failed = WindowsFailure(code != ERROR_SUCCESS ? code : ERROR_DISK_FULL);
        if (written > 0 && SetFilePointerEx(h, before, nullptr, FILE_BEGIN))
            (void)SetEndOfFile(h);
    }
    if (!CloseHandle(h) && !failed)
        failed = WindowsFailure(GetLastError());
    return failed;
}

} // namespace qm
