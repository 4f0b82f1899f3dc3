#pragma once

#include <optional>
#include <string>

namespace qm
{

// Asks the operator for a file to open. Empty when cancelled.
class FileDialog
{
public:
    virtual ~FileDialog() = default;
    virtual std::optional<std::string> askOpenFile(const std::string &presetName,
                                                   const std::string &filter) = 0;
};

} // namespace qm
