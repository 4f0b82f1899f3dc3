#pragma once
// The end of the session (logging off, shutting down) as Windows tells a
// windowed program: WM_QUERYENDSESSION to each top-level window, then
// WM_ENDSESSION. It ends the program as SIGTERM does on Linux.
//
// A hidden top-level window on a thread of its own hears them, also while
// the UI thread blocks without serving anything (the dial's carrier wait):
// it agrees to the end, and when the end comes it sets the flag pending()
// reads and has `requested` run on the UI thread through the MessageWindow.
// It then holds the system's call until the program has ended (at most
// HoldMs): once a window returns from WM_ENDSESSION the system may end the
// process wherever it stands, and the logs are to stay whole.

#include "win32/messagewindow.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

namespace qm
{

class SessionEndWatcher
{
public:
    static constexpr DWORD HoldMs = 10000;

    // `requested` runs on the thread of `ui`.
    SessionEndWatcher(MessageWindow &ui, std::function<void()> requested);
    ~SessionEndWatcher();
    SessionEndWatcher(const SessionEndWatcher &) = delete;
    SessionEndWatcher &operator=(const SessionEndWatcher &) = delete;

    // The session is ending; asked from the blocking waits.
    bool pending() const { return pending_; }
    // The watching window (tests send it the session's messages).
    HWND window() const { return window_; }

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void run(HANDLE ready);
    void onEnd();

    MessageWindow &ui_;
    std::function<void()> requested_;
    std::atomic<bool> pending_{false};
    std::atomic<HWND> window_{nullptr};
    HANDLE released_; // set by the destructor: the held call returns
    std::thread thread_;
};

} // namespace qm
