// The rules of the outbox shared by both platforms; the folder and the files
// themselves are reached in outboxfile_unix.cpp and outboxfile_win.cpp.

#include "send/outboxfile.h"

#include <cerrno>

namespace qm
{

namespace
{
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

Failure FileTooLarge(std::size_t size)
{
    return Failure{EFBIG, "File too large: " + std::to_string(size) + " bytes, the limit is " +
                              std::to_string(MaxMessageFileBytes)};
}

} // namespace qm
