#pragma once
// What the console's rules ask of a toolkit's windows (the views), and what a
// window tells them (the events).
//
// A view is passive: it builds its window from the face table, carries out
// an order and tells of what the operator did, nothing more. No order calls
// back into the console (the console runs a handler itself where a change it
// made counts as an edit), and a view decides nothing: which list applies the
// modem settings, what a close box does, what Escape does are the console's.
//
// Texts are single-byte text both ways; a view converts them for its toolkit.
// The console may drop a dialog's view while an event of that view is being
// handled further up the stack; the view then takes its window away once its
// own handling has returned.

#include "console/controls.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qm
{

// The operations every window has, by control.
template <typename Id> class FormView
{
public:
    virtual ~FormView() = default;
    // A text field's text, a label's or a button's caption.
    virtual std::string text(Id control) const = 0;
    virtual void setText(Id control, const std::string &text) = 0;
    virtual void setVisible(Id control, bool visible) = 0;
    virtual void setEnabled(Id control, bool enabled) = 0;
    // A list's entries replaced; none selected.
    virtual void setEntries(Id list, const std::vector<std::string> &entries) = 0;
    // The selected entry's position, -1 when none.
    virtual int selected(Id list) const = 0;
    virtual void select(Id list, int index) = 0;
    virtual void setFocus(Id control) = 0;
    // The window shown, modeless, in front and active.
    virtual void show() = 0;
    virtual void hide() = 0;
};

// What a dialog's window tells: a button pressed (Enter presses the default
// one), Escape, the close box (or the system menu's Close).
template <typename Id> class DialogEvents
{
public:
    virtual ~DialogEvents() = default;
    virtual void clicked(Id button) = 0;
    virtual void escape() = 0;
    virtual void closeBox() = 0;
};

using TestSMSView = FormView<TestSMSControl>;
using TestSMSEvents = DialogEvents<TestSMSControl>;
using AboutView = FormView<AboutControl>;
using AboutEvents = DialogEvents<AboutControl>;

// The outbox path dialog: a folder list, whose current folder is the one the
// operator opened in it (the list's own browsing), and a list of the drives
// or volumes of the machine.
class ChangePathView : public FormView<ChangePathControl>
{
public:
    // The folder list's current folder, a native path; empty when none.
    virtual std::string currentFolder() const = 0;
    // Makes `folder` the current folder; false, with the list as it was, when
    // it cannot be opened (missing, or on a drive that is not ready).
    virtual bool openFolder(const std::string &folder) = 0;
    // The root of the drive selected in the drive list.
    virtual std::string selectedDrive() const = 0;
    // Selects the drive that holds `folder`.
    virtual void selectDriveOf(const std::string &folder) = 0;
};

class ChangePathEvents : public DialogEvents<ChangePathControl>
{
public:
    // The operator picked another drive.
    virtual void driveChanged() = 0;
};

// What the console window tells.
class ConsoleEvents
{
public:
    virtual ~ConsoleEvents() = default;
    // The operator changed a list's selection.
    virtual void listClicked(ConsoleControl list) = 0;
    // The keyboard focus moved from `from` (none: from outside the console's
    // controls) to `to` (none: out of the window, to another window or to
    // the list's own drop-down).
    virtual void focusMoved(std::optional<ConsoleControl> from,
                            std::optional<ConsoleControl> to) = 0;
    // The operator changed a text field's text (a keystroke, a paste).
    virtual void textChanged(ConsoleControl field) = 0;
    virtual void clicked(ConsoleControl button) = 0;
    virtual void menuChosen(MenuCommand command) = 0;
    // A tray notification by its code: the mouse message that happened on
    // the icon (514 left button up, 515 double-click, 517 right button up...).
    virtual void trayNotification(int code) = 0;
    // The window's close box (or its system menu's Close).
    virtual void closeBox() = 0;
    // The system ends the program: end of the session, SIGTERM and the like.
    virtual void systemClose() = 0;
};

class ConsoleView : public FormView<ConsoleControl>
{
public:
    // The receiver of the window's events, given once by the console.
    virtual void setEvents(ConsoleEvents &events) = 0;

    virtual void minimise() = 0;
    // Normal state (not minimised, not maximised), to the foreground, shown.
    virtual void restore() = 0;
    // Not minimised, raised, with the input focus.
    virtual void focusWindow() = 0;

    // Whether the desktop has a notification area now.
    virtual bool trayAvailable() = 0;
    // The application icon in the notification area, with the tip TrayTip.
    virtual void showTrayIcon() = 0;
    virtual void hideTrayIcon() = 0;
    // mnuPopup at the mouse position, Open drawn bold.
    virtual void popUpTrayMenu() = 0;

    // A new window of each dialog, built from its face table, hidden.
    virtual std::unique_ptr<TestSMSView> createTestSMS(TestSMSEvents &events) = 0;
    virtual std::unique_ptr<ChangePathView> createChangePath(ChangePathEvents &events) = 0;
    virtual std::unique_ptr<AboutView> createAbout(AboutEvents &events) = 0;
};

} // namespace qm
