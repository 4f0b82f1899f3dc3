#pragma once
// The file-open dialog on GetOpenFileNameA, starting in a folder with the
// preset name filled in. Its modal loop serves timers and port events as a
// message box's does.

#include "platform/filedialog.h"

#include <windows.h>

#include <string>

namespace qm
{

class Win32FileDialog final : public FileDialog
{
public:
    explicit Win32FileDialog(std::string folder) : folder_(std::move(folder)) {}
    void setOwner(HWND owner) { owner_ = owner; }

    // Empty when cancelled, and when the dialog could not be shown.
    std::optional<std::string> askOpenFile(const std::string &presetName,
                                           const std::string &filter) override;

private:
    std::string folder_;
    HWND owner_ = nullptr;
};

// "Description|pattern|Description|pattern" as GetOpenFileName takes it:
// each part ended by a NUL, the whole by one more. A filter without a bar is
// its own description and pattern.
std::string OpenFileNameFilter(const std::string &filter);

} // namespace qm
