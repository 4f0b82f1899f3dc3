#pragma once
// A window built from a face table on plain Win32 controls: each control at
// its place (twips at the system's DPI), with its caption, font, tab
// position, default (IDOK) and cancel (IDCANCEL) button; the window at its
// fixed client size with its caption and icon. It turns the controls'
// notifications into a few plain events and carries out the views' orders.
//
// Orders never come back as events: an edit field's EN_CHANGE during a
// WM_SETTEXT of ours is dropped, and a list reports a selection only when it
// differs from the last one it reported or was given (CB_SETCURSEL sends
// nothing anyway; the arrow keys in an open drop-down are not a choice yet).
//
// Tab, Enter and Escape are the event pump's IsDialogMessage: the pump is
// told of the window. The window remembers its focused control across
// activation, as a dialog does.
//
// Events are told from a message of the window's own, once the control has
// done with the notification behind them.
//
// Dropping the form hides the window and cuts it from the form at once; the
// window itself is destroyed by a message of its own, once the event being
// handled has returned: a view may be dropped from inside its own event.

#include "console/face.h"
#include "win32/win32eventpump.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace qm
{

// One row of a face table, whatever the window's control type.
struct ControlSpec {
    ControlKind kind;
    std::string_view caption;
    TwipsRect rect;
    int tab;
    FontFace font;
    bool isDefault, isCancel;
    int faceColour;
};

struct FormSpec {
    std::string_view caption;
    int clientWidth, clientHeight; // twips
    FormIcon icon;
    std::vector<ControlSpec> controls; // row n is control n
    std::vector<int> tabOrder;         // operable controls, by row
};

template <typename Id> FormSpec SpecOf(const FormFace<Id> &face)
{
    FormSpec layout{face.caption, face.clientWidth, face.clientHeight, face.icon, {}, {}};
    for (const ControlFace<Id> &c : face.controls)
        layout.controls.push_back(
            {c.kind, c.caption, c.rect, c.tab, c.font, c.isDefault, c.isCancel, c.faceColour});
    for (Id id : face.tabOrder())
        layout.tabOrder.push_back(static_cast<int>(id));
    return layout;
}

// The screen's dots per inch.
int SystemDpi();
// The application icon or the outbox path dialog's, `size` pixels square,
// from the program's resources (null where it has none).
HICON FormIconHandle(FormIcon icon, int size);
// mnuPopup or the console's menu; each entry's command id is MenuCommandId.
HMENU BuildPopupMenu(const MenuFace &face);
// The menu's shortcuts (Ctrl+P) as an accelerator table, null when none.
HACCEL BuildAccelerators(const MenuFace &face);
inline constexpr UINT MenuIdBase = 2000;
inline UINT MenuCommandId(MenuCommand c)
{
    return MenuIdBase + static_cast<UINT>(c);
}

class FormWindow
{
public:
    FormWindow(Win32EventPump &pump, const FormSpec &layout, DWORD style);
    virtual ~FormWindow();
    FormWindow(const FormWindow &) = delete;
    FormWindow &operator=(const FormWindow &) = delete;

    HWND handle() const { return hwnd_; }
    HWND control(int index) const { return controls_[static_cast<std::size_t>(index)]; }
    std::optional<int> controlOf(HWND window) const;

    std::string controlText(int index) const;
    void setControlText(int index, const std::string &text);
    void setControlVisible(int index, bool visible);
    void setControlEnabled(int index, bool enabled);
    void setListEntries(int index, const std::vector<std::string> &entries);
    int listSelection(int index) const;
    void selectInList(int index, int entry);
    void focusControl(int index);
    void showWindow();
    void hideWindow();

protected:
    // The events; a handler may drop the form, so nothing may touch it
    // after telling.
    virtual void onClicked(int) {}
    virtual void onEdited(int) {}
    virtual void onSelected(int) {}
    virtual void onActivated(int) {} // a double-click in a list box
    virtual void onEscape() {}
    virtual void onClose() {}
    virtual void onMenu(UINT) {}
    // Any other message; `handled` set when it was the view's.
    virtual LRESULT onMessage(UINT, WPARAM, LPARAM, bool &handled)
    {
        handled = false;
        return 0;
    }
    // A list box drawn by its owner (the folder list).
    virtual void drawListItem(const DRAWITEMSTRUCT &) {}

    // A picture drawn unscaled from the top-left corner as the background.
    void setBackground(HBITMAP picture) { background_ = picture; }
    virtual void paintOver(HDC) {}
    Win32EventPump &pump() const { return pump_; }
    HFONT controlFont(int index) const;

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT dispatch(UINT msg, WPARAM wp, LPARAM lp);
    void create(const FormSpec &layout, DWORD style);
    HWND createControl(int index, const ControlSpec &c, int dpi);
    enum class Told { Clicked, Edited, Selected, Activated, Escape, Menu };
    void command(WPARAM wp, LPARAM lp);
    void tell(Told what, int index);
    void told(Told what, int index);
    void drawButton(const DRAWITEMSTRUCT &d) const;
    void paintBackground(HDC dc) const;

    Win32EventPump &pump_;
    HWND hwnd_ = nullptr;
    std::vector<HWND> controls_;
    std::vector<ControlKind> kinds_;
    std::vector<int> faceColours_;
    std::vector<int> listShown_; // a list's selection as last reported or given
    int defaultButton_ = -1, cancelButton_ = -1;
    HWND focus_ = nullptr;
    HBITMAP background_ = nullptr;
    bool applying_ = false;
};

} // namespace qm
