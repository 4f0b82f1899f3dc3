#pragma once
// Console-side implementations of the operator-facing seams.

#include "platform/filedialog.h"
#include "platform/notifier.h"

class QWidget;

namespace qm
{

// QMessageBox; a CR inside a text is shown as a line break.
class MessageBoxNotifier final : public Notifier
{
public:
    void message(const std::string &title, const std::string &text, NoticeIcon icon) override;
    bool askYesNo(const std::string &title, const std::string &text) override;
};

// QFileDialog, starting in `folder` with the preset name selected.
class OpenFileDialog final : public FileDialog
{
public:
    explicit OpenFileDialog(std::string folder) : folder_(std::move(folder)) {}
    std::optional<std::string> askOpenFile(const std::string &presetName,
                                           const std::string &filter) override;

private:
    std::string folder_;
};

} // namespace qm
