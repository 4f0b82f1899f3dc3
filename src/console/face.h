#pragma once
// What the console and its dialogs look like, as data: every control with its
// kind, caption, place in twips, tab position and font; the menus; the
// console's timers and list entries. Each toolkit builds its windows from
// these tables, so the windows look the same on every platform.

#include "console/controls.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qm
{

enum class ControlKind {
    Label,
    TextField,
    ChoiceList,
    Button,
    Separator,
    Image,
    FolderList,
    DriveList
};

struct FontFace {
    std::string_view family; // empty: the system's default dialog font
    double points = 0;
    bool bold = false;
};

// 1/1440 inch.
struct TwipsRect {
    int left, top, width, height;
};

// A coordinate in twips as pixels at `dpi` dots per inch (15 twips a pixel
// at 96), rounded down.
constexpr int TwipsToPixels(int twips, int dpi)
{
    return twips * dpi / 1440;
}
inline constexpr int DesignDpi = 96;
// A separator is drawn this thick whatever its height in the table (0).
inline constexpr int SeparatorPixels = 2;

template <typename Id> struct ControlFace {
    Id id;
    std::string_view name;
    ControlKind kind;
    // A label's or button's caption, a text field's initial text.
    std::string_view caption;
    TwipsRect rect;
    int tab; // position in the tab order, 0 first; -1: none
    FontFace font;
    bool isDefault = false; // Enter presses it
    bool isCancel = false;  // Escape presses it
    int faceColour = -1;    // 0xRRGGBB; -1: the system's
};

enum class FormIcon { Application, ChangePath };

template <typename Id> struct FormFace {
    std::string_view name;
    std::string_view caption;
    int clientWidth, clientHeight; // twips, fixed
    FormIcon icon;
    std::span<const ControlFace<Id>> controls; // row n is the control of value n

    const ControlFace<Id> &operator[](Id id) const
    {
        return controls[static_cast<std::size_t>(id)];
    }
    // The controls the keyboard reaches (not labels, separators, the image),
    // in tab order.
    std::vector<Id> tabOrder() const;
};

extern const FormFace<ConsoleControl> ConsoleFace;       // frmSMSConsole
extern const FormFace<TestSMSControl> TestSMSFace;       // frmTestSMS
extern const FormFace<ChangePathControl> ChangePathFace; // frmChangePath
extern const FormFace<AboutControl> AboutFace;           // frmAbout

struct Shortcut {
    bool ctrl = false;
    char key = 0; // an upper-case letter; 0: none
};

struct MenuEntryFace {
    std::string_view name;
    std::string_view caption;           // "&" marks the accelerator letter
    std::optional<MenuCommand> command; // none: a separator line
    bool isDefault = false;             // drawn bold
    Shortcut shortcut = {};             // works in the console window
};

struct MenuFace {
    std::string_view name;
    std::string_view caption;
    std::span<const MenuEntryFace> entries;
};

// mnuPopup, which the tray icon pops up; never a menu bar.
extern const MenuFace PopupMenuFace;
// A right-click anywhere on the console: the tray menu's commands and the
// outbox path dialog (Ctrl+P), which has no place on the designed face.
extern const MenuFace ConsoleMenuFace;

inline constexpr std::string_view TrayTip = "SMS Console Configuration";

// The console's six timers as designed, in the order of ConsoleTimers; all
// start disabled. sec10 waits 60 s despite its name.
struct TimerFace {
    std::string_view name;
    int interval; // milliseconds
};
extern const std::array<TimerFace, 6> ConsoleTimerFaces;

// The fixed entries of one of the console's five lists (empty for any other
// control).
const std::vector<std::string> &ListEntries(ConsoleControl list);

// The line the about box's picture carries under the program's name.
std::string AboutVersionLine();

template <typename Id> std::vector<Id> FormFace<Id>::tabOrder() const
{
    std::vector<const ControlFace<Id> *> operable;
    for (const auto &c : controls)
        if (c.tab >= 0 && c.kind != ControlKind::Label && c.kind != ControlKind::Separator &&
            c.kind != ControlKind::Image)
            operable.push_back(&c);
    std::ranges::stable_sort(operable, {}, &ControlFace<Id>::tab);
    std::vector<Id> order;
    for (const auto *c : operable)
        order.push_back(c->id);
    return order;
}

} // namespace qm
