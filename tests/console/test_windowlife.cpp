// Tray notifications, the close box, Exit and the system's close, with and
// without a tray, over the simulated world.

#include "console/smsconsole.h"
#include "console/trayreaction.h"
#include "fakes.h"
#include "qtapp.h"
#include "ui_frmsmsconsole.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QSystemTrayIcon>

#include <filesystem>
#include <fstream>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;

class NoDialog : public FileDialog
{
public:
    std::optional<std::string> askOpenFile(const std::string &, const std::string &) override
    {
        return std::nullopt;
    }
};

// A console whose process end is recorded instead of happening.
struct LifeRig {
    explicit LifeRig(bool tray)
    {
        std::ofstream(t.dir / "smsconf.conf", std::ios::binary)
            << "\"SMSCenterNumber=0612345\"\r\n\"Protocol=UCP\"\r\n\"OpType=01\"\r\n";
        console = std::make_unique<SMSConsole>(ConsolePlatform{
            t.port, t.world, t.world, t.notifier, dialog,
            ConsoleTimers{t.CheckPendingSMS, t.sec1, t.sec2, t.sec4, t.sec8, t.sec10},
            t.dir.string() + "/", nullptr,
            [this](int status) {
                ends.push_back({status, console->gateway().state.SendCycleRunning, t.port.isOpen(),
                                console->trayIcon()->isVisible(), console->form().isVisible()});
            },
            [tray] { return tray; }});
        console->startUp();
        console->form().show();
    }
    frmSMSConsole &form() { return console->form(); }
    GatewayState &state() { return console->gateway().state; }

    struct End {
        int status;
        bool insideCycle, portOpen, iconShown, consoleShown;
    };
    TestGateway t;
    NoDialog dialog;
    std::vector<End> ends;
    std::unique_ptr<SMSConsole> console;
};

TEST(TrayNotifications, DecodeAndReactFromEveryWindowState)
{
    EXPECT_EQ(ReactionTo(TrayNotificationCode(QSystemTrayIcon::Trigger)), TrayReaction::Restore);
    EXPECT_EQ(ReactionTo(TrayNotificationCode(QSystemTrayIcon::DoubleClick)),
              TrayReaction::Restore);
    EXPECT_EQ(ReactionTo(TrayNotificationCode(QSystemTrayIcon::Context)), TrayReaction::PopupMenu);
    EXPECT_EQ(ReactionTo(TrayNotificationCode(QSystemTrayIcon::MiddleClick)),
              TrayReaction::Nothing);
    LifeRig r(true);
    enum Start { Hidden, Minimised, Visible };
    for (Start start : {Hidden, Minimised, Visible})
        for (int code : {512, 514, 515, 517, 520}) {
            SCOPED_TRACE(testing::Message() << "start " << start << " code " << code);
            r.form().showNormal();
            if (start == Hidden)
                r.form().hide();
            if (start == Minimised)
                r.form().showMinimized();
            r.console->OnTrayNotification(code);
            const bool restores = code == 514 || code == 515;
            EXPECT_EQ(r.form().isVisible(), restores || start != Hidden);
            EXPECT_EQ(r.form().isMinimized(), !restores && start == Minimised);
        }
    // The tray pops up mnuPopup, Open drawn as the default entry.
    EXPECT_EQ(r.console->trayIcon()->contextMenu(), r.form().popupMenu());
    EXPECT_EQ(r.form().popupMenu()->defaultAction(), r.form().mnuPopupOpen());
    EXPECT_TRUE(r.ends.empty());
}

TEST(WindowLife, CloseBoxHidesWhileSendingGoesOnThenExitEndsInsideTheExchange)
{
    LifeRig r(true);
    std::filesystem::create_directories(r.t.dir / "outbox");
    bool hiddenWhileSending = false;
    r.t.world.after(1500ms, [&] {
        r.form().close(); // the close box
        hiddenWhileSending = !r.form().isVisible() && r.state().SendCycleRunning &&
                             r.console->trayIcon()->isVisible();
        std::ofstream(r.t.dir / "outbox" / "a.dat") << "\"0611\",\"disk full\"\r\n";
    });
    // Dialling the message (waiting for the modem's answer): Exit.
    r.t.world.after(4000ms, [&] {
        ASSERT_TRUE(r.state().ExchangeInProgress);
        r.form().mnuPopupExit()->trigger();
    });
    r.form().ui->cmdStartSendSMS->click();
    EXPECT_TRUE(hiddenWhileSending);
    ASSERT_EQ(r.ends.size(), 1u);
    EXPECT_EQ(r.ends[0].status, 0);
    EXPECT_TRUE(r.ends[0].insideCycle);
    EXPECT_FALSE(r.ends[0].portOpen);
    EXPECT_FALSE(r.ends[0].iconShown);
    EXPECT_FALSE(r.ends[0].consoleShown);
    EXPECT_TRUE(r.state().ExitRequested);
    EXPECT_FALSE(r.state().AutoSending);
}

TEST(WindowLife, WithoutATrayCloseBoxAndAboutMinimiseAndASystemCloseEndsIt)
{
    LifeRig r(false);
    EXPECT_FALSE(r.console->trayIcon()->isVisible());
    r.form().close();
    EXPECT_TRUE(r.form().isVisible());
    EXPECT_TRUE(r.form().isMinimized());
    r.console->OpenConsole();
    EXPECT_FALSE(r.form().isMinimized());
    r.form().ui->cmdAbout->click();
    EXPECT_TRUE(r.form().isMinimized());
    delete r.console->about();

    QStringList entries;
    for (QAction *a : r.console->consoleMenu()->actions())
        entries << a->text();
    EXPECT_EQ(entries.join('|'), "&Open|&About...||Change Outbox &Path...||E&xit");
    EXPECT_TRUE(r.ends.empty());

    // A close the system asks for is let through and ends the process.
    r.console->SystemClose();
    ASSERT_EQ(r.ends.size(), 1u);
    EXPECT_FALSE(r.ends[0].consoleShown);
    EXPECT_FALSE(r.state().ExitRequested);
}

int shownWindows(const char *name)
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += w->objectName() == QLatin1String(name) && w->isVisible();
    return n;
}

void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(About, ButtonAndMenuHideTheConsoleOneBoxAndOKDestroysIt)
{
    LifeRig r(true);
    r.form().ui->cmdAbout->click();
    EXPECT_FALSE(r.form().isVisible());
    QPointer<frmAbout> first = r.console->about();
    ASSERT_TRUE(first);
    r.console->OpenConsole();
    r.form().mnuPopupAbout()->trigger();
    EXPECT_FALSE(r.form().isVisible());
    EXPECT_EQ(r.console->about(), first);
    EXPECT_EQ(shownWindows("frmAbout"), 1);
    first->cmdOK->click();
    runDeferredDeletes();
    EXPECT_FALSE(first);
    EXPECT_FALSE(r.form().isVisible());
}

TEST(TestDialogInstance, CancelKeepsTheNumberTheCloseBoxGivesAFreshDialog)
{
    LifeRig r(true);
    r.form().ui->cmdSendTestSMS->click();
    frmTestSMS *dialog = r.console->testSMS();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->focusWidget(), dialog->txtSMSNumber);
    dialog->txtSMSNumber->setText("0612");
    dialog->cmdCancel->click();
    EXPECT_FALSE(dialog->isVisible());
    r.form().ui->cmdSendTestSMS->click();
    EXPECT_EQ(r.console->testSMS(), dialog);
    EXPECT_EQ(dialog->txtSMSNumber->text(), "0612");
    EXPECT_EQ(shownWindows("frmTestSMS"), 1);

    dialog->close();                      // the close box
    r.form().ui->cmdSendTestSMS->click(); // before the old one is gone
    frmTestSMS *fresh = r.console->testSMS();
    EXPECT_NE(fresh, dialog);
    EXPECT_EQ(fresh->txtSMSNumber->text(), "");
    EXPECT_EQ(fresh->txtSMSMessage->text(), "This is a test message");
    runDeferredDeletes();
    EXPECT_EQ(shownWindows("frmTestSMS"), 1);
}

TEST(ChangePathOperation, ShowsOneDialogAndSavesTheSettingsAtOnce)
{
    LifeRig r(true);
    std::filesystem::remove(r.t.dir / "smsconf.conf");
    r.console->changePathAction()->trigger();
    frmChangePath *dialog = r.console->changePath();
    ASSERT_TRUE(dialog && dialog->isVisible());
    EXPECT_TRUE(std::filesystem::exists(r.t.dir / "smsconf.conf"));
    r.console->ChangeOutboxPath();
    EXPECT_EQ(r.console->changePath(), dialog);
}

} // namespace
} // namespace qm::test
