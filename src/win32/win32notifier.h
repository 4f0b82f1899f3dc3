#pragma once
// Message boxes on MessageBoxA. A box runs its own modal loop, which
// dispatches the messages of every window of the thread: timer ticks and
// port events (both messages of the MessageWindow) go on being served while
// it is open, as on Linux.

#include "platform/notifier.h"

#include <windows.h>

#include <string>

namespace qm
{

class Win32Notifier final : public Notifier
{
public:
    // The console's window once it exists; without one the box disables
    // every window of the thread while it is open (task-modal).
    void setOwner(HWND owner) { owner_ = owner; }

    void message(const std::string &title, const std::string &text, NoticeIcon icon) override;
    bool askYesNo(const std::string &title, const std::string &text) override;

private:
    UINT modality() const { return owner_ ? MB_APPLMODAL : MB_TASKMODAL; }
    HWND owner_ = nullptr;
};

// The box's text: a lone CR (the gateway's separator inside an entry) or LF
// becomes CR LF, a line break in a box.
std::string BoxText(const std::string &text);

// The MessageBox icon flag of a notice.
UINT BoxIconFlag(NoticeIcon icon);

} // namespace qm
