#include "console/dialogs.h"

#include "commands/outboxpath.h"
#include "commands/testmessage.h"

namespace qm
{

void TestSMSDialog::open()
{
    if (!view_) {
        view_ = console_.createTestSMS(*this);
        ++windows_;
        view_->setFocus(TestSMSControl::txtSMSNumber);
    }
    view_->show();
}

void TestSMSDialog::clicked(TestSMSControl button)
{
    if (!view_)
        return;
    if (button == TestSMSControl::cmdCancel) {
        view_->hide();
        return;
    }
    if (button != TestSMSControl::cmdSend)
        return;
    // The send pumps events: the close box may take this window away
    // meanwhile, and the button open another.
    const unsigned window = windows_;
    const SendCycleResult result = SendTestMessage(gw_, view_->text(TestSMSControl::txtSMSNumber));
    if (view_ && windows_ == window && result != SendCycleResult::ExchangeBusy)
        view_->hide();
}

void TestSMSDialog::escape()
{
    clicked(TestSMSControl::cmdCancel);
}

void TestSMSDialog::closeBox()
{
    view_.reset();
}

void ChangePathDialog::open()
{
    if (!view_) {
        view_ = console_.createChangePath(*this);
        // Load: a folder that cannot be opened leaves the lists as they are.
        view_->openFolder(gw_.state.AppPath);
        view_->selectDriveOf(view_->currentFolder());
    }
    view_->show();
}

void ChangePathDialog::driveChanged()
{
    if (!view_->openFolder(view_->selectedDrive()))
        view_->selectDriveOf(view_->currentFolder()); // not ready
}

void ChangePathDialog::clicked(ChangePathControl button)
{
    if (button == ChangePathControl::cmdUpdate) {
        const std::string folder = view_->currentFolder();
        if (!folder.empty())
            UpdateAppPath(gw_, folder);
    }
    if (button == ChangePathControl::cmdUpdate || button == ChangePathControl::cmdCancel)
        view_->hide();
}

void ChangePathDialog::escape()
{
    clicked(ChangePathControl::cmdCancel);
}

void ChangePathDialog::closeBox()
{
    view_->hide();
}

void AboutDialog::open()
{
    if (!view_)
        view_ = console_.createAbout(*this);
    view_->show();
}

void AboutDialog::clicked(AboutControl)
{
    view_.reset();
}

void AboutDialog::escape()
{
    view_.reset();
}

void AboutDialog::closeBox()
{
    view_.reset();
}

} // namespace qm
