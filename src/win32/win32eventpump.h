#pragma once
// The event pump over the thread's message queue. A pump serves what is
// pending with PeekMessage; when nothing is, it blocks in
// MsgWaitForMultipleObjectsEx until a message, a timer tick or a port event
// (a message of the MessageWindow) comes, or until the wake-by time on the
// steady clock: it never spins.
//
// Keyboard navigation of dialogs (Tab, Enter as the default button, Escape)
// and the accelerators (Ctrl+P) happen in the loop that takes a message off
// the queue: the console registers its windows and its accelerator table
// here, and every pump, however deep inside a wait, treats them alike.

#include "platform/eventpump.h"

#include <windows.h>

#include <vector>

namespace qm
{

class Win32EventPump final : public EventPump
{
public:
    void pump(std::optional<TimePoint> wakeBy = std::nullopt) override;

    // A window whose keyboard messages go through IsDialogMessage.
    void addDialog(HWND window);
    void removeDialog(HWND window);
    // Accelerators translated for `window` (and the controls on it); a null
    // table removes them.
    void setAccelerators(HWND window, HACCEL table);

    // Serves what is pending now, without waiting; gives how many messages
    // were taken. At most a bounded number, so a handler that keeps posting
    // cannot hold the caller here.
    int servePending();

    // A WM_QUIT was taken (PostQuitMessage): the program's own loop ends.
    bool quitRequested() const { return quitRequested_; }

private:
    bool translate(MSG &msg) const;

    std::vector<HWND> dialogs_;
    HWND acceleratorWindow_ = nullptr;
    HACCEL accelerators_ = nullptr;
    bool quitRequested_ = false;
};

} // namespace qm
