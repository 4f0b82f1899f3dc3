// The Win32 views on a real message loop under Wine's null display driver:
// what the operator does reaches the console's events, what the console
// orders does not come back as events, and the keyboard goes the face's way.

#include "recordedevents.h"
#include "win32/win32consoleview.h"
#include "win32/win32dialogs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace qm::test
{
namespace
{

using C = ConsoleControl;
using namespace std::chrono_literals;

struct Views : ::testing::Test {
    Win32EventPump pump;
    RecordedEvents events;
    RecordedDialog<TestSMSControl> dialogEvents{TestSMSFace};
    Win32ConsoleView console{pump};

    void SetUp() override
    {
        console.setEvents(events);
        console.show();
        serve();
        events.said.clear();
    }
    // Serves what is pending, twice over: an event is told from a message
    // the notification behind it posts.
    void serve()
    {
        for (int i = 0; i < 3; ++i)
            pump.pump(std::chrono::time_point_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now()));
    }
    // A key pressed, with `held` down as the keyboard state shows it (0: none).
    void key(HWND target, WPARAM key, BYTE held = 0)
    {
        BYTE keys[256] = {};
        keys[held] = held ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageA(target, WM_KEYDOWN, key, 1);
        serve();
        keys[held] = 0;
        SetKeyboardState(keys);
    }
    Said take() { return std::exchange(events.said, {}); }
    // What was told, focus moves left out.
    Said takeActions()
    {
        Said lines = take();
        std::erase_if(lines, [](const std::string &l) { return l.starts_with("focus"); });
        return lines;
    }
};

TEST_F(Views, ControlsSitWhereTheFaceHasThemAtTheSystemsDpi)
{
    const int dpi = SystemDpi();
    RECT client{};
    GetClientRect(console.handle(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(ConsoleFace.clientWidth, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(ConsoleFace.clientHeight, dpi));
    for (const auto &row : ConsoleFace.controls) {
        if (row.kind == ControlKind::ChoiceList || row.kind == ControlKind::Separator)
            continue; // heights of their own: the drop-down, the line
        SCOPED_TRACE(std::string(row.name));
        RECT r{};
        GetWindowRect(console.controlWindow(row.id), &r);
        MapWindowPoints(nullptr, console.handle(), reinterpret_cast<POINT *>(&r), 2);
        EXPECT_EQ(r.left, TwipsToPixels(row.rect.left, dpi));
        EXPECT_EQ(r.top, TwipsToPixels(row.rect.top, dpi));
        EXPECT_EQ(r.right - r.left, TwipsToPixels(row.rect.width, dpi));
        EXPECT_EQ(r.bottom - r.top, TwipsToPixels(row.rect.height, dpi));
        if (row.kind == ControlKind::Label || row.kind == ControlKind::Button) {
            EXPECT_EQ(console.text(row.id), row.caption);
        }
    }
}

TEST_F(Views, TabFollowsTheFacesOrderAndEachMoveIsTold)
{
    const std::vector<C> order = ConsoleFace.tabOrder();
    console.setFocus(order.front());
    serve();
    take();
    std::vector<std::string> expected;
    for (std::size_t i = 1; i < order.size(); ++i) {
        key(GetFocus(), VK_TAB);
        ASSERT_EQ(GetFocus(), console.controlWindow(order[i])) << ConsoleFace[order[i]].name;
        expected.push_back("focus " + NameOf(ConsoleFace, order[i - 1]) + ">" +
                           NameOf(ConsoleFace, order[i]));
    }
    EXPECT_EQ(take(), expected);
}

TEST_F(Views, TheOperatorsEditsAreToldTheConsolesOrdersAreNot)
{
    console.setEntries(C::cmbBaudrate, ListEntries(C::cmbBaudrate));
    console.select(C::cmbBaudrate, 6);
    console.setText(C::txtSMSCenterNumber, "0612");
    console.setText(C::statusBar, "a & b");
    serve();
    EXPECT_EQ(take(), std::vector<std::string>{});
    EXPECT_EQ(console.text(C::statusBar), "a & b");
    EXPECT_EQ(console.text(C::cmbBaudrate), "9600");

    // Typed at the end of the field; the console's own setText keeps the caret there.
    const HWND field = console.controlWindow(C::txtSMSCenterNumber);
    SendMessageA(field, EM_SETSEL, 4, 4);
    SetFocus(field);
    serve();
    take();
    PostMessageA(field, WM_CHAR, '5', 1);
    serve();
    EXPECT_EQ(console.text(C::txtSMSCenterNumber), "06125");
    console.setText(C::txtSMSCenterNumber, "061256");
    PostMessageA(field, WM_CHAR, '7', 1);
    serve();
    EXPECT_EQ(console.text(C::txtSMSCenterNumber), "0612567");

    EXPECT_EQ(take(),
              (std::vector<std::string>{"text txtSMSCenterNumber", "text txtSMSCenterNumber"}));

    // A list changed from the keyboard, once; the same entry again is no change.
    const HWND list = console.controlWindow(C::cmbBaudrate);
    SetFocus(list);
    serve();
    take();
    key(list, VK_DOWN);
    EXPECT_EQ(console.selected(C::cmbBaudrate), 7);
    console.select(C::cmbBaudrate, 7);
    serve();
    EXPECT_EQ(take(), std::vector<std::string>{"list cmbBaudrate"});
}

// The close box and the icon's notifications are wholeprogram.sh's: there alt+F4 hides the
// console, a click on the icon restores it and a right-click opens its menu.
TEST_F(Views, ButtonsAndCtrlP)
{
    SendMessageA(console.controlWindow(C::cmdAbout), BM_CLICK, 0, 0);
    serve();
    key(console.controlWindow(C::txtSMSCenterNumber), 'P', VK_CONTROL);
    EXPECT_EQ(
        takeActions(),
        (Said{"click cmdAbout", "menu " + std::to_string(int(MenuCommand::mnuChangeOutboxPath))}));
    HMENU popup = BuildPopupMenu(PopupMenuFace);
    EXPECT_EQ(GetMenuDefaultItem(popup, FALSE, 0),
              MenuCommandId(MenuCommand::mnuPopupOpen)); // drawn bold
    EXPECT_EQ(GetMenuItemCount(popup), 4);
    DestroyMenu(popup);
}

TEST_F(Views, EnterPressesTheDefaultButtonEscapeIsEscapeAndCancelIsItsButton)
{
    auto dialog = console.createTestSMS(dialogEvents);
    dialog->setFocus(TestSMSControl::txtSMSNumber);
    dialog->show();
    serve();
    auto &view = static_cast<Win32TestSMSView &>(*dialog);
    const HWND number = view.controlWindow(TestSMSControl::txtSMSNumber);
    ASSERT_EQ(GetFocus(), number);
    key(number, VK_RETURN);
    SendMessageA(view.controlWindow(TestSMSControl::cmdCancel), BM_CLICK, 0, 0);
    serve();
    key(number, VK_ESCAPE, VK_ESCAPE);
    SendMessageA(view.handle(), WM_CLOSE, 0, 0);
    serve();
    EXPECT_EQ(dialogEvents.said, (Said{"click cmdSend", "click cmdCancel", "escape", "close box"}));
    EXPECT_EQ(takeActions(), Said{}); // none of it the console's
    // Dropped from inside its own event: the window goes once that has returned.
    const HWND window = view.handle();
    dialog.reset();
    EXPECT_FALSE(IsWindowVisible(window));
    serve();
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(Views, TheFolderListShowsTheWayDownAndWhatIsInTheOpenedFolder)
{
    char temp[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
    const std::string base = std::string(temp) + "qm-folders";
    for (const char *f : {"", "\\b", "\\a", "\\a\\deeper"})
        CreateDirectoryA((base + f).c_str(), nullptr);
    RecordedChangePath pathEvents;
    Win32ChangePathView view(pump, pathEvents);
    ASSERT_TRUE(view.openFolder(base + "\\"));
    EXPECT_EQ(view.currentFolder(), base);
    std::vector<std::string> entries = view.folderEntries();
    ASSERT_GE(entries.size(), 3u);
    // The root first, then one step in at each folder, the opened one last
    // of them, then its subfolders in order of their names.
    EXPECT_EQ(entries.front(), base.substr(0, 3));
    const std::size_t depth = entries.size() - 3;
    EXPECT_EQ(entries[depth], std::string(2 * depth, ' ') + "qm-folders (opened)");
    EXPECT_EQ(entries[depth + 1], std::string(2 * depth + 2, ' ') + "a");
    EXPECT_EQ(entries[depth + 2], std::string(2 * depth + 2, ' ') + "b");

    EXPECT_FALSE(view.openFolder(base + "\\missing"));
    EXPECT_EQ(view.folderEntries(), entries);
    view.selectDriveOf(base);
    EXPECT_EQ(view.selectedDrive(), base.substr(0, 3));
    serve();
    EXPECT_EQ(pathEvents.said, Said{}) << "the dialog's own choice is no change";
    for (const char *f : {"\\a\\deeper", "\\a", "\\b", ""})
        RemoveDirectoryA((base + f).c_str());
}

} // namespace
} // namespace qm::test
