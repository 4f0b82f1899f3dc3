#include "platform/lasterror_win.h"

#include <windows.h>

namespace qm
{

Failure WindowsFailure(unsigned long code)
{
    char *text = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<char *>(&text), 0, nullptr);
    std::string description = n != 0 && text ? std::string(text, n) : "Windows error";
    LocalFree(text);
    // The system's texts end in ".\r\n"; the log line goes on after them.
    while (!description.empty() &&
           (description.back() == '\n' || description.back() == '\r' || description.back() == ' '))
        description.pop_back();
    return Failure{static_cast<int>(code), description};
}

} // namespace qm
