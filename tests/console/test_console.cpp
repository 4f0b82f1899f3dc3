// The console over the simulated world: start-up, editing, sending, and the
// window's life with and without a tray.

#include "qt/console/formfields.h"
#include "qt/console/smsconsole.h"
#include "qt/console/trayreaction.h"
#include "fakes.h"
#include "qtapp.h"
#include "ui_frmsmsconsole.h"
#include "qt/widgets/ansi.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QStyleHints>
#include <QSystemTrayIcon>

#include <array>
#include <filesystem>
#include <fstream>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string CompleteFile = "\"AppPath=C:\\old\\\"\r\n"
                                 "\"Port=2\"\r\n"
                                 "\"Setting=E 7 1\"\r\n"
                                 "\"BaudRate=19200\"\r\n"
                                 "\"SMSCenterNumber=0612345\"\r\n"
                                 "\"Protocol=UCP\"\r\n"
                                 "\"OpType=51\"\r\n"
                                 "\"TAPStoredText=stored\"\r\n"
                                 "\"TAPDeliveredText=delivered\"\r\n"
                                 "\"AuthenticationCode=auth\"\r\n"
                                 "\"LegitimizationCode=legit\"\r\n"
                                 "\"PollingInterval=2000\"\r\n";

// A shown console over a temporary program folder, the simulated world's
// timers and a recording serial port. The process end is recorded instead of
// happening. The timers start odd so that the console's own set-up shows.
// No settings file is ever picked.
struct ConsoleRig : FileDialog {
    explicit ConsoleRig(const std::string &config, bool tray = true)
    {
        std::ofstream(t.dir / "smsconf.conf", std::ios::binary) << config;
        for (SimTimer *timer : timers()) {
            timer->setInterval(1);
            timer->setEnabled(true);
        }
        console = std::make_unique<SMSConsole>(
            face, gw,
            ConsoleOptions{*this, t.dir.string() + "/", &startRetry,
                           [this](int status) {
                               ends.push_back(std::to_string(status) +
                                              (state().SendCycleRunning ? " in cycle" : "") +
                                              (t.port.isOpen() ? " port open" : "") +
                                              (console->trayIcon()->isVisible() ? " icon" : "") +
                                              (form().isVisible() ? " shown" : ""));
                           },
                           [tray] { return tray; }});
        console->startUp();
        form().show();
    }
    std::optional<std::string> askOpenFile(const std::string &, const std::string &) override
    {
        return std::nullopt;
    }
    std::array<SimTimer *, 6> timers()
    {
        return {&t.CheckPendingSMS, &t.sec1, &t.sec2, &t.sec4, &t.sec8, &t.sec10};
    }
    frmSMSConsole &form() { return face; }
    Ui::frmSMSConsole &ui() { return *form().ui; }
    GatewayState &state() { return gw.state; }
    std::string file() const { return t.readFile("smsconf.conf"); }
    // The fields' texts, lists first, as one string.
    std::string shown()
    {
        QStringList texts;
        for (QComboBox *c : {ui().cmbModem, ui().cmbSMSType, ui().cmbBaudrate, ui().cmbProtocol,
                             ui().cmbOperationType})
            texts << c->currentText();
        for (QLineEdit *e : {ui().txtSMSCenterNumber, ui().txtStored, ui().txtDelivered,
                             ui().txtAuthenticationCode, ui().txtLegitimizationCode})
            texts << e->text();
        return texts.join('|').toStdString();
    }

    TestGateway t;
    SimTimer startRetry{t.world};
    frmSMSConsole face;
    FormFields fields{face};
    Gateway gw{GatewayState{}, t.port, t.world, t.world, t.notifier, fields, fields, t.timers};
    std::vector<std::string> ends; // each process end: status and what was left
    std::unique_ptr<SMSConsole> console;
};

void sendFocus(QWidget *w, QEvent::Type type)
{
    QFocusEvent event(type, Qt::TabFocusReason);
    QApplication::sendEvent(w, &event);
}

TEST(ConsoleStartUp, EmptyFileGivesDefaultsStoppedTimersAndSavesNothing)
{
    ConsoleRig r("");
    EXPECT_EQ(r.shown(), "COM 1|||||||||");
    std::vector<int> intervals;
    for (SimTimer *timer : r.timers()) {
        intervals.push_back(timer->interval());
        EXPECT_FALSE(timer->isEnabled());
    }
    // The empty file's polling interval is 0; the others are the designed ones.
    EXPECT_EQ(intervals, (std::vector<int>{0, 1000, 2000, 4000, 8000, 60000}));
    EXPECT_FALSE(r.ui().cmdStartSendSMS->isEnabled() || r.ui().cmdSendTestSMS->isEnabled());
    EXPECT_EQ(r.file(), "");
    // Selecting COM 1 applied the incomplete line settings ",": refused and logged.
    const std::string log = r.t.readFile("Master.Log");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
    EXPECT_NE(log.find("Err-0018:Error occured in setting modem properties\rError:22-"),
              std::string::npos);
    // Rendered control characters look like tags; as rich text they would vanish.
    EXPECT_EQ(r.ui().statusBar->textFormat(), Qt::PlainText);
}

TEST(ConsoleStartUp, CompleteFileFillsEveryFieldAndTheSwitchGoesBothWays)
{
    ConsoleRig r(CompleteFile);
    auto &ui = r.ui();
    EXPECT_EQ(r.shown(), "COM 2|E,7,1|19200|UCP|51|0612345|stored|delivered|auth|legit");
    EXPECT_EQ(r.t.CheckPendingSMS.interval(), 2000);
    EXPECT_EQ(r.file(), CompleteFile);
    EXPECT_EQ(r.t.port.portNumber(), 2);
    EXPECT_EQ(r.t.port.settings(), "19200,E,7,1");
    EXPECT_TRUE(r.t.port.rtsCts);

    // shown: operation type, its label, legitimisation code, then the delivered and stored
    // texts and the stored label; then the two relabelled captions.
    // clang-format off
    const struct { const char *protocol; std::vector<bool> shown; QString authentication, legit; }
        rows[] = {{"TAP", {false, false, false, true, true, true}, "Password", "Delivered Text"},
                  {"UCP", {true, true, true, false, false, false}, "Authentication Code",
                   "Legitimization Code"}};
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.protocol);
        ui.cmbProtocol->setCurrentText(row.protocol);
        std::vector<bool> shown;
        for (QWidget *w : std::initializer_list<QWidget *>{
                 ui.cmbOperationType, ui.lcmbOperationType, ui.txtLegitimizationCode,
                 ui.txtDelivered, ui.txtStored, ui.ltxtStored})
            shown.push_back(!w->isHidden());
        EXPECT_EQ(shown, row.shown);
        EXPECT_EQ(ui.ltxtAuthenticationCode->text(), row.authentication);
        EXPECT_EQ(ui.ltxtLegitimizationCode->text(), row.legit);
    }
}

TEST(ConsoleEditing, EachEditSavesTheWholeFileAtOnceAndOneTabOutOfAListAsksOnce)
{
    ConsoleRig r(CompleteFile);
    auto &ui = r.ui();
    QApplication::setActiveWindow(&r.form());
    ui.txtLegitimizationCode->setText("newcode"); // waits for the next save
    EXPECT_EQ(r.file(), CompleteFile);
    const std::string ansi =
        std::string(ansiCodePageName()) == "windows-1252" ? "caf\xe9 \x80" : "caf\xe9 ?";
    const std::pair<std::function<void()>, std::string> edits[] = {
        {[&] { ui.txtSMSCenterNumber->setText("999"); }, "\"SMSCenterNumber=999\""},
        // Saved in the single-byte code page; a typed double quote would break
        // the file's format, so it is not taken.
        {[&] {
             ui.txtStored->setText(QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac"));
             for (const char *key : {"\"", "c"}) {
                 QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, key);
                 QApplication::sendEvent(ui.txtStored, &press);
             }
         },
         "\"TAPStoredText=" + ansi + "c\""},
        {[&] { ui.cmbProtocol->setCurrentIndex(1); }, "\"Protocol=TAP\""},
        {[&] { ui.cmbModem->setCurrentIndex(3); }, "\"Port=4\""},
        {[&] { ui.cmbBaudrate->setCurrentIndex(0); }, "\"BaudRate=110\""},
        {[&] { ui.cmbSMSType->setCurrentIndex(5); }, "\"Setting=N 7 1\""},
        // Leaving a list saves even without a change.
        {[&] {
             fs::remove(r.t.dir / "smsconf.conf");
             ui.cmbSMSType->setFocus();
             ui.txtStored->setFocus(Qt::TabFocusReason);
         },
         "\"LegitimizationCode=newcode\""},
    };
    for (const auto &[edit, line] : edits) {
        SCOPED_TRACE(line);
        edit();
        const std::string file = r.file();
        EXPECT_NE(file.find(line + "\r\n"), std::string::npos) << file;
        EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 12);
        EXPECT_NE(file.find("\"AppPath=" + r.t.dir.string() + "/\"\r\n"), std::string::npos);
    }
    // The modem choices reached the port.
    EXPECT_EQ(r.t.port.portNumber(), 4);
    EXPECT_EQ(r.t.port.settings(), "110,N,7,1");

    // One Tab out of the port list in a call, one question: another window (the
    // question's box, here About) taking the activation from the next list is no
    // leaving of it, and saves nothing.
    ASSERT_TRUE(r.t.notifier.notices.empty());
    ui.cmbModem->setFocus();
    ASSERT_FALSE(r.t.port.open());
    r.t.notifier.answerYes = false; // the port stays open
    ui.cmbBaudrate->setFocus(Qt::TabFocusReason);
    fs::remove(r.t.dir / "smsconf.conf");
    r.console->ShowAbout();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), r.console->about());
    EXPECT_EQ(r.t.notifier.notices.size(), 1u);
    EXPECT_FALSE(fs::exists(r.t.dir / "smsconf.conf"));
}

TEST(ConsoleEditing, EveryFieldTakesAMegabyteAndOnlyALongValueKeepsTheCursorSteady)
{
    ConsoleRig r(CompleteFile);
    const QString big(1 << 20, '7');
    for (QLineEdit *e : r.form().findChildren<QLineEdit *>()) {
        e->setText(big);
        EXPECT_EQ(e->text().size(), big.size()) << e->objectName().toStdString();
    }
    r.ui().txtStored->setText("short");
    const int normal = QGuiApplication::styleHints()->cursorFlashTime();
    ASSERT_NE(normal, 0);
    sendFocus(r.ui().txtAuthenticationCode, QEvent::FocusIn);
    EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), 0);
    sendFocus(r.ui().txtAuthenticationCode, QEvent::FocusOut);
    EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), normal);
    sendFocus(r.ui().txtStored, QEvent::FocusIn);
    EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), normal);
}

TEST(WindowLife, TrayNotificationsFromEveryWindowState)
{
    ConsoleRig r(CompleteFile);
    using Tray = QSystemTrayIcon;
    enum Start { Hidden, Minimised, Visible };
    const std::pair<const char *, Start> starts[] = {
        {"hidden", Hidden}, {"minimised", Minimised}, {"visible", Visible}};
    for (const auto &[startName, start] : starts)
        for (Tray::ActivationReason reason :
             {Tray::Unknown, Tray::Trigger, Tray::DoubleClick, Tray::Context, Tray::MiddleClick}) {
            SCOPED_TRACE(testing::Message() << startName << ", reason " << reason);
            r.form().showNormal();
            if (start == Hidden)
                r.form().hide();
            if (start == Minimised)
                r.form().showMinimized();
            r.console->OnTrayNotification(TrayNotificationCode(reason));
            const bool restores = reason == Tray::Trigger || reason == Tray::DoubleClick;
            EXPECT_EQ(r.form().isVisible(), restores || start != Hidden);
            EXPECT_EQ(r.form().isMinimized(), !restores && start == Minimised);
        }
    EXPECT_EQ(ReactionTo(TrayNotificationCode(Tray::Context)), TrayReaction::PopupMenu);
    // The tray pops up mnuPopup, Open drawn as the default entry.
    EXPECT_EQ(r.console->trayIcon()->contextMenu(), r.form().popupMenu());
}

TEST(WindowLife, CloseBoxHidesWhileSendingGoesOnThenExitEndsInsideTheExchange)
{
    ConsoleRig r(CompleteFile);
    fs::create_directories(r.t.dir / "outbox");
    QPushButton *start = r.ui().cmdStartSendSMS;
    QString running;
    bool runningEnabled = true, hiddenWhileSending = false;
    r.t.world.after(1500ms, [&] {
        // Clearing the number only disables the button; sending goes on.
        r.ui().txtSMSCenterNumber->clear();
        running = start->text();
        runningEnabled = start->isEnabled();
        r.ui().txtSMSCenterNumber->setText("0612345");
        r.form().close(); // the close box
        hiddenWhileSending = !r.form().isVisible() && r.state().SendCycleRunning &&
                             r.console->trayIcon()->isVisible();
        std::ofstream(r.t.dir / "outbox" / "a.dat") << "\"0611\",\"disk full\"\r\n";
    });
    // Dialling the message (waiting for the modem's answer): Exit.
    // Exit is pressed even when no exchange runs, so a send that never dials fails here
    // instead of cycling for ever.
    r.t.world.after(5000ms, [&] { // first seen at 2 s, taken at 4 s
        EXPECT_TRUE(r.state().ExchangeInProgress);
        r.form().mnuPopupExit()->trigger();
    });
    start->click();
    EXPECT_EQ(running, "Stop Automatic SMS Sending");
    EXPECT_FALSE(runningEnabled);
    EXPECT_TRUE(hiddenWhileSending);
    EXPECT_EQ(r.ends, std::vector<std::string>{"0 in cycle"});
}

TEST(WindowLife, WithoutATrayCloseBoxAndAboutMinimiseAndASystemCloseEndsIt)
{
    ConsoleRig r(CompleteFile, false);
    r.form().close();
    EXPECT_TRUE(r.form().isVisible() && r.form().isMinimized());
    r.console->OpenConsole();
    EXPECT_FALSE(r.form().isMinimized());
    // About minimises here; the menu's About shows the same single box; OK destroys it.
    r.ui().cmdAbout->click();
    EXPECT_TRUE(r.form().isMinimized());
    QPointer<frmAbout> about = r.console->about();
    r.form().mnuPopupAbout()->trigger();
    EXPECT_EQ(r.console->about(), about);
    about->cmdOK->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(about);
    // A close the system asks for is let through and ends the process.
    r.console->SystemClose();
    EXPECT_EQ(r.ends, std::vector<std::string>{"0"});
}

TEST(WindowLife, TestAndPathDialogsAreSingleAndModeless)
{
    ConsoleRig r(CompleteFile);
    r.ui().cmdSendTestSMS->click();
    frmTestSMS *dialog = r.console->testSMS();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->focusWidget(), dialog->txtSMSNumber);
    dialog->txtSMSNumber->setText("0612");
    dialog->cmdCancel->click();
    EXPECT_FALSE(dialog->isVisible());
    r.ui().cmdSendTestSMS->click();
    EXPECT_EQ(dialog->txtSMSNumber->text(), "0612");

    QPointer<frmTestSMS> closed = dialog;
    dialog->close();                // the close box
    r.ui().cmdSendTestSMS->click(); // before the old one is gone
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(r.console->testSMS() && !closed);
    EXPECT_TRUE(r.console->testSMS()->isVisible());
    EXPECT_EQ(r.console->testSMS()->txtSMSNumber->text(), "");

    // The path dialog is single too, and its opening saves the settings.
    fs::remove(r.t.dir / "smsconf.conf");
    r.console->changePathAction()->trigger();
    frmChangePath *path = r.console->changePath();
    ASSERT_TRUE(path && path->isVisible());
    EXPECT_TRUE(fs::exists(r.t.dir / "smsconf.conf"));
    r.console->ChangeOutboxPath();
    EXPECT_EQ(r.console->changePath(), path);
}

} // namespace
} // namespace qm::test
