#pragma once
// The rules of the console's three dialogs, over their views. Each dialog is
// one instance for the run; its window is made by the console's view when
// the dialog is first opened.

#include "console/views.h"
#include "core/gateway.h"

#include <memory>

namespace qm
{

// frmTestSMS. Send runs one test message to the number exactly as typed and
// hides the dialog (it stays up when the send was refused because an
// exchange is under way); Cancel and Escape hide it, so its texts survive;
// the close box destroys the window, and the next opening makes a fresh one.
class TestSMSDialog final : public TestSMSEvents
{
public:
    TestSMSDialog(Gateway &gw, ConsoleView &console) : gw_(gw), console_(console) {}
    void open();

    void clicked(TestSMSControl button) override;
    void escape() override;
    void closeBox() override;

private:
    Gateway &gw_;
    ConsoleView &console_;
    std::unique_ptr<TestSMSView> view_;
    unsigned windows_ = 0; // windows made so far
};

// frmChangePath. Load opens AppPath in the folder list and selects its
// drive; a drive picked that is not ready goes back to the current folder's;
// Update makes the current folder AppPath (reported on the status line);
// Update, Cancel, Escape and the close box hide it.
class ChangePathDialog final : public ChangePathEvents
{
public:
    ChangePathDialog(Gateway &gw, ConsoleView &console) : gw_(gw), console_(console) {}
    void open();

    void clicked(ChangePathControl button) override;
    void escape() override;
    void closeBox() override;
    void driveChanged() override;

private:
    Gateway &gw_;
    ConsoleView &console_;
    std::unique_ptr<ChangePathView> view_;
};

// frmAbout: one box at a time; OK, Escape and the close box destroy it. It
// never touches the console.
class AboutDialog final : public AboutEvents
{
public:
    explicit AboutDialog(ConsoleView &console) : console_(console) {}
    void open();

    void clicked(AboutControl button) override;
    void escape() override;
    void closeBox() override;

private:
    ConsoleView &console_;
    std::unique_ptr<AboutView> view_;
};

} // namespace qm
