#pragma once
// Recording views of the console and its dialogs. Each window keeps the state
// the console's orders left its controls in (from the face table on:
// captions and initial texts, all shown and enabled, lists empty), its window
// orders in turn ("show", "hide", "minimise", "restore", "focus window",
// "tray icon", "no tray icon", "tray menu", "focus <control>"), and outlives
// the view the console drops. What the operator does (a pick, a keystroke, a
// click...) goes to the events the console gave the view, as a toolkit's
// would.

#include "console/face.h"
#include "console/views.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace qm::test
{

template <typename IdT, typename Events = DialogEvents<IdT>> struct FakeWindow {
    using Id = IdT;
    struct Control {
        std::string text;
        bool visible = true, enabled = true;
        std::vector<std::string> entries;
        int selected = -1;
    };
    FakeWindow(const FormFace<Id> &f, Events *e) : face(f), events(e)
    {
        for (const auto &row : f.controls)
            controls.emplace_back().text = row.caption;
    }
    Control &operator[](Id c) { return controls[std::size_t(c)]; }
    const Control &operator[](Id c) const { return controls[std::size_t(c)]; }
    void did(const std::string &order) { orders.push_back(order); }
    // The operator's doings in a dialog.
    void type(Id field, const std::string &text) { (*this)[field].text = text; }
    void click(Id button)
    {
        ASSERT_FALSE(destroyed);
        events->clicked(button);
    }
    void escape() { events->escape(); }
    void closeBox() { events->closeBox(); }

    const FormFace<Id> &face;
    Events *events;
    std::vector<Control> controls;
    bool shown = false, destroyed = false; // destroyed: the console dropped its view
    std::vector<std::string> orders;
};

template <typename Window, typename Base> class FakeView : public Base
{
public:
    explicit FakeView(Window &w) : w_(w) {}
    ~FakeView() override { w_.destroyed = true; }
    using Id = typename Window::Id;
    std::string text(Id c) const override { return w_[c].text; }
    void setText(Id c, const std::string &text) override { w_[c].text = text; }
    void setVisible(Id c, bool visible) override { w_[c].visible = visible; }
    void setEnabled(Id c, bool enabled) override { w_[c].enabled = enabled; }
    void setEntries(Id c, const std::vector<std::string> &e) override
    {
        w_[c].entries = e, w_[c].selected = -1;
    }
    int selected(Id c) const override { return w_[c].selected; }
    void select(Id c, int index) override { w_[c].selected = index; }
    void setFocus(Id c) override { w_.did("focus " + std::string(w_.face[c].name)); }
    void show() override { w_.shown = true, w_.did("show"); }
    void hide() override { w_.shown = false, w_.did("hide"); }

protected:
    Window &w_;
};

using FakeTestSMS = FakeWindow<TestSMSControl>;
using FakeAbout = FakeWindow<AboutControl>;

// The outbox path dialog over a made-up file system: the folders that open;
// a folder's drive is its path up to the first separator.
struct FakeChangePath : FakeWindow<ChangePathControl, ChangePathEvents> {
    using FakeWindow::FakeWindow;
    // The operator opens a folder in the list, or picks a drive.
    void browse(const std::string &folder) { current = folder; }
    void pickDrive(const std::string &root) { drive = root, events->driveChanged(); }
    std::set<std::string> folders;
    std::string current, drive;
};

struct FakeChangePathView final : FakeView<FakeChangePath, ChangePathView> {
    using FakeView::FakeView;
    std::string currentFolder() const override { return w_.current; }
    bool openFolder(const std::string &f) override
    {
        return w_.folders.contains(f) && (w_.current = f, true);
    }
    std::string selectedDrive() const override { return w_.drive; }
    void selectDriveOf(const std::string &f) override
    {
        w_.drive = f.substr(0, f.find_first_of("/\\") + 1);
    }
};

struct FakeConsole : FakeWindow<ConsoleControl, ConsoleEvents> {
    FakeConsole() : FakeWindow(ConsoleFace, nullptr) {}
    bool minimised = false, trayIcon = false, trayAvailable = true;
    // Every dialog window made, in turn, and the folders new path dialogs find.
    std::vector<std::unique_ptr<FakeTestSMS>> testSMS;
    std::vector<std::unique_ptr<FakeChangePath>> changePath;
    std::vector<std::unique_ptr<FakeAbout>> about;
    std::set<std::string> folders;

    // The operator's doings. A disabled button takes no click.
    void pick(ConsoleControl list, int i) { (*this)[list].selected = i, events->listClicked(list); }
    void type(ConsoleControl field, const std::string &text)
    {
        (*this)[field].text = text, events->textChanged(field);
    }
    void click(ConsoleControl button)
    {
        ASSERT_TRUE((*this)[button].enabled);
        events->clicked(button);
    }
};

class FakeConsoleView final : public FakeView<FakeConsole, ConsoleView>
{
public:
    using FakeView::FakeView;
    void setEvents(ConsoleEvents &events) override { w_.events = &events; }
    void minimise() override { w_.minimised = true, w_.did("minimise"); }
    void restore() override { w_.shown = true, w_.minimised = false, w_.did("restore"); }
    void focusWindow() override { w_.minimised = false, w_.did("focus window"); }
    bool trayAvailable() override { return w_.trayAvailable; }
    void showTrayIcon() override { w_.trayIcon = true, w_.did("tray icon"); }
    void hideTrayIcon() override { w_.trayIcon = false, w_.did("no tray icon"); }
    void popUpTrayMenu() override { w_.did("tray menu"); }
    std::unique_ptr<TestSMSView> createTestSMS(TestSMSEvents &e) override
    {
        return make<FakeView<FakeTestSMS, TestSMSView>>(w_.testSMS, TestSMSFace, e);
    }
    std::unique_ptr<ChangePathView> createChangePath(ChangePathEvents &e) override
    {
        auto view = make<FakeChangePathView>(w_.changePath, ChangePathFace, e);
        w_.changePath.back()->folders = w_.folders;
        return view;
    }
    std::unique_ptr<AboutView> createAbout(AboutEvents &e) override
    {
        return make<FakeView<FakeAbout, AboutView>>(w_.about, AboutFace, e);
    }

private:
    template <typename View, typename Window, typename Face, typename Events>
    static std::unique_ptr<View> make(std::vector<std::unique_ptr<Window>> &made, const Face &f,
                                      Events &e)
    {
        return std::make_unique<View>(*made.emplace_back(std::make_unique<Window>(f, &e)));
    }
};

} // namespace qm::test
