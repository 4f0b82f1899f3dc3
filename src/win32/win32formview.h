#pragma once
// A view's generic operations over a FormWindow built from its face table,
// and the dialogs' view, which tells every button, Escape and the close box.

#include "console/views.h"
#include "win32/formwindow.h"

namespace qm
{

// The window styles: fixed size, no maximise; the console can be minimised.
inline constexpr DWORD DialogStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
inline constexpr DWORD ConsoleStyle = DialogStyle | WS_MINIMIZEBOX;

template <typename Id, typename Base> class Win32FormView : public Base, protected FormWindow
{
public:
    Win32FormView(Win32EventPump &pump, const FormFace<Id> &face, DWORD style)
        : FormWindow(pump, SpecOf(face), style)
    {
    }

    std::string text(Id c) const override { return controlText(at(c)); }
    void setText(Id c, const std::string &text) override { setControlText(at(c), text); }
    void setVisible(Id c, bool visible) override { setControlVisible(at(c), visible); }
    void setEnabled(Id c, bool enabled) override { setControlEnabled(at(c), enabled); }
    void setEntries(Id c, const std::vector<std::string> &entries) override
    {
        setListEntries(at(c), entries);
    }
    int selected(Id c) const override { return listSelection(at(c)); }
    void select(Id c, int index) override { selectInList(at(c), index); }
    void setFocus(Id c) override { focusControl(at(c)); }
    void show() override { showWindow(); }
    void hide() override { hideWindow(); }

    using FormWindow::handle;
    HWND controlWindow(Id c) const { return control(at(c)); }
    // The control `window` is, if it is one of this window's.
    std::optional<Id> controlId(HWND window) const
    {
        const std::optional<int> i = controlOf(window);
        return i ? std::optional<Id>(Id(*i)) : std::nullopt;
    }

protected:
    static int at(Id c) { return static_cast<int>(c); }
};

template <typename Id, typename Base = FormView<Id>, typename Events = DialogEvents<Id>>
class Win32DialogView : public Win32FormView<Id, Base>
{
public:
    Win32DialogView(Win32EventPump &pump, const FormFace<Id> &face, Events &events)
        : Win32FormView<Id, Base>(pump, face, DialogStyle), events_(events)
    {
    }

protected:
    void onClicked(int control) override { events_.clicked(Id(control)); }
    void onEscape() override { events_.escape(); }
    void onClose() override { events_.closeBox(); }

    Events &events_;
};

} // namespace qm
