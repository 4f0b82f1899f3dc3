// Replacing smsconf.conf on Windows: a temporary file in the same folder (so
// on the same volume), moved over the old one in one step.

#include "config/settings.h"
#include "platform/lasterror_win.h"

#include <algorithm>
#include <windows.h>

namespace qm
{

namespace
{
Failure Described(const char *what, DWORD code)
{
    Failure f = WindowsFailure(code);
    f.description = std::string(what) + ": " + f.description;
    return f;
}

MaybeFailure WriteAll(const std::string &path, const std::string &content)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return Described("cannot create a temporary file", GetLastError());
    std::size_t done = 0;
    bool ok = true;
    while (ok && done < content.size()) {
        DWORD written = 0;
        const auto chunk =
            static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1 << 20));
        ok = WriteFile(h, content.data() + done, chunk, &written, nullptr) != 0;
        done += written;
    }
    ok = ok && FlushFileBuffers(h);
    const DWORD code = GetLastError();
    CloseHandle(h);
    if (!ok)
        return Described("cannot write", code);
    return std::nullopt;
}
} // namespace

MaybeFailure WriteFileAtomically(const std::string &path, const std::string &content)
{
    // Moving over a read-only file fails anyway; say why in the operator's words.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return Failure{ERROR_ACCESS_DENIED, "the file is read-only"};
    const std::string::size_type slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    char tmp[MAX_PATH];
    if (GetTempFileNameA(folder.c_str(), "qm", 0, tmp) == 0)
        return Described("cannot create a temporary file", GetLastError());
    MaybeFailure failure = WriteAll(tmp, content);
    // A reader that holds the old file open without sharing deletion makes
    // the move fail: the old file is then kept whole.
    if (!failure &&
        !MoveFileExA(tmp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        failure = Described("cannot replace", GetLastError());
    if (failure)
        DeleteFileA(tmp);
    return failure;
}

} // namespace qm
