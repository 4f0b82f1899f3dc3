#include "win32/win32filedialog.h"

#include <commdlg.h>

#include <vector>

namespace qm
{

std::string OpenFileNameFilter(const std::string &filter)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar == std::string::npos ? bar : bar - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    if (parts.size() % 2 != 0)
        parts.push_back(parts.back());
    std::string out;
    for (const std::string &p : parts)
        out += p + '\0';
    return out + '\0';
}

std::optional<std::string> Win32FileDialog::askOpenFile(const std::string &presetName,
                                                        const std::string &filter)
{
    std::vector<char> file(MAX_PATH * 4, '\0');
    presetName.copy(file.data(), file.size() - 1);
    const std::string filters = OpenFileNameFilter(filter);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = filters.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = folder_.empty() ? nullptr : folder_.c_str();
    // The current folder stays where it was: the program's files are found
    // by their full paths, never relative to it.
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&ofn))
        return std::nullopt;
    return std::string(file.data());
}

} // namespace qm
