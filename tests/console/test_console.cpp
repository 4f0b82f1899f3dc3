#include "config/configfile.h"
#include "console/ansi.h"
#include "console/smsconsole.h"
#include "fakes.h"
#include "qtapp.h"
#include "ui_frmsmsconsole.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QStyleHints>
#include <QSystemTrayIcon>

#include <filesystem>
#include <fstream>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;

class PresetDialog : public FileDialog
{
public:
    std::optional<std::string> askOpenFile(const std::string &, const std::string &) override
    {
        ++asked;
        return std::nullopt;
    }
    int asked = 0;
};

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

// A console over a temporary program folder, the simulated world's timers and
// a recording serial port.
struct ConsoleRig {
    explicit ConsoleRig(const std::optional<std::string> &config)
    {
        if (config)
            std::ofstream(t.dir / "smsconf.conf", std::ios::binary) << *config;
        console = std::make_unique<SMSConsole>(ConsolePlatform{
            t.port,
            t.world,
            t.world,
            t.notifier,
            dialog,
            ConsoleTimers{t.CheckPendingSMS, t.sec1, t.sec2, t.sec4, t.sec8, t.sec10},
            t.dir.string() + "/",
            &startRetry,
            {},
            {}});
        console->startUp();
    }
    Ui::frmSMSConsole &ui() { return *console->form().ui; }
    std::string file() const { return t.readFile("smsconf.conf"); }

    TestGateway t;
    SimTimer startRetry{t.world};
    PresetDialog dialog;
    std::unique_ptr<SMSConsole> console;
};

void loseFocus(QWidget *w)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w, &out);
}

TEST(ConsoleStartUp, TimersHaveTheirDesignedIntervalsAndStayOff)
{
    TestGateway t;
    const std::pair<SimTimer *, int> designed[] = {{&t.CheckPendingSMS, 1000},
                                                   {&t.sec1, 1000},
                                                   {&t.sec2, 2000},
                                                   {&t.sec4, 4000},
                                                   {&t.sec8, 8000},
                                                   {&t.sec10, 60000}};
    for (const auto &[timer, interval] : designed) {
        timer->setInterval(1);
        timer->setEnabled(true);
    }
    PresetDialog dialog;
    SMSConsole console(
        ConsolePlatform{t.port, t.world, t.world, t.notifier, dialog,
                        ConsoleTimers{t.CheckPendingSMS, t.sec1, t.sec2, t.sec4, t.sec8, t.sec10},
                        t.dir.string() + "/"});
    for (const auto &[timer, interval] : designed) {
        EXPECT_EQ(timer->interval(), interval);
        EXPECT_FALSE(timer->isEnabled());
    }
}

TEST(ConsoleStartUp, EmptyFileGivesDesignedDefaults)
{
    ConsoleRig r(std::string{});
    auto &ui = r.ui();
    EXPECT_EQ(ui.cmbModem->currentText(), "COM 1");
    for (QComboBox *list : {ui.cmbProtocol, ui.cmbBaudrate, ui.cmbSMSType, ui.cmbOperationType})
        EXPECT_EQ(list->currentIndex(), -1) << list->objectName().toStdString();
    EXPECT_FALSE(ui.cmdStartSendSMS->isEnabled());
    EXPECT_FALSE(ui.cmdSendTestSMS->isEnabled());
    EXPECT_EQ(r.console->gateway().state.AppPath, r.t.dir.string() + "/");
    EXPECT_EQ(r.file(), ""); // nothing saved during start-up
    // Selecting COM 1 applied the incomplete line settings ",": refused and logged.
    const auto entries = r.t.logEntries("Master.Log");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_NE(entries[0].find("Err-0018:Error occured in setting modem properties\rError:22-"),
              std::string::npos);
    EXPECT_EQ(r.console->trayIcon()->toolTip(), "SMS Console Configuration");
}

TEST(ConsoleStartUp, CompleteFileFillsEveryFieldAndLeavesFileUnchanged)
{
    ConsoleRig r(CompleteFile);
    auto &ui = r.ui();
    const std::pair<QWidget *, const char *> shown[] = {{ui.cmbModem, "COM 2"},
                                                        {ui.cmbSMSType, "E,7,1"},
                                                        {ui.cmbBaudrate, "19200"},
                                                        {ui.txtSMSCenterNumber, "0612345"},
                                                        {ui.cmbProtocol, "UCP"},
                                                        {ui.cmbOperationType, "51"},
                                                        {ui.txtStored, "stored"},
                                                        {ui.txtDelivered, "delivered"},
                                                        {ui.txtAuthenticationCode, "auth"},
                                                        {ui.txtLegitimizationCode, "legit"}};
    for (const auto &[w, text] : shown) {
        const auto *list = qobject_cast<QComboBox *>(w);
        EXPECT_EQ((list ? list->currentText() : qobject_cast<QLineEdit *>(w)->text()).toStdString(),
                  text)
            << w->objectName().toStdString();
    }
    EXPECT_EQ(r.t.CheckPendingSMS.interval(), 2000);
    EXPECT_TRUE(ui.cmdStartSendSMS->isEnabled());
    EXPECT_EQ(r.file(), CompleteFile);
    // The port ends with all three choices in place.
    EXPECT_EQ(r.t.port.portNumber(), 2);
    EXPECT_EQ(r.t.port.settings(), "19200,E,7,1");
    EXPECT_TRUE(r.t.port.rtsCts);
    // ",E,7,1" was refused on the way, before the speed was selected.
    const auto entries = r.t.logEntries("Master.Log");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_NE(entries[1].find("\",E,7,1\""), std::string::npos);
}

TEST(ConsoleStartUp, TapFileShowsTapFieldsAndTheSwitchGoesBothWays)
{
    std::string tap = CompleteFile;
    tap.replace(tap.find("Protocol=UCP"), 12, "Protocol=TAP");
    ConsoleRig r(tap);
    auto &ui = r.ui();
    EXPECT_EQ(r.file(), tap);
    for (const char *protocol : {"TAP", "UCP", "TAP"}) {
        SCOPED_TRACE(protocol);
        ui.cmbProtocol->setCurrentText(protocol);
        const bool isTap = protocol == std::string("TAP");
        EXPECT_EQ(ui.cmbOperationType->isHidden(), isTap);
        EXPECT_EQ(ui.lcmbOperationType->isHidden(), isTap);
        EXPECT_EQ(ui.txtLegitimizationCode->isHidden(), isTap);
        EXPECT_EQ(ui.txtDelivered->isHidden(), !isTap);
        EXPECT_EQ(ui.txtStored->isHidden(), !isTap);
        EXPECT_EQ(ui.ltxtStored->isHidden(), !isTap);
        EXPECT_EQ(ui.ltxtAuthenticationCode->text(), isTap ? "Password" : "Authentication Code");
        EXPECT_EQ(ui.ltxtLegitimizationCode->text(),
                  isTap ? "Delivered Text" : "Legitimization Code");
    }
}

TEST(ConsoleStartUp, OddValuesLeaveListsUnselected)
{
    ConsoleRig r(std::string("\"Port=0\"\r\n\"BaudRate=12345\"\r\n\"Protocol=ucp\"\r\n"
                             "\"PollingInterval=-5\"\r\n"));
    auto &ui = r.ui();
    EXPECT_EQ(ui.cmbModem->currentIndex(), -1);
    EXPECT_EQ(ui.cmbBaudrate->currentIndex(), -1);
    EXPECT_EQ(ui.cmbProtocol->currentIndex(), -1);
    EXPECT_EQ(r.t.CheckPendingSMS.interval(), 1000); // the designed interval stays
    // The next save writes Port=0.
    ui.txtStored->setText("x");
    EXPECT_NE(r.file().find("\"Port=0\"\r\n"), std::string::npos);
}

TEST(ConsoleStartUp, MissingFileAsksThenStartsEmpty)
{
    ConsoleRig r(std::nullopt);
    EXPECT_EQ(r.dialog.asked, 1);
    EXPECT_NE(r.ui().statusBar->text().toStdString().find("empty settings"), std::string::npos);
    r.ui().txtSMSCenterNumber->setText("1");
    EXPECT_TRUE(std::filesystem::exists(r.t.dir / "smsconf.conf"));
}

TEST(ConsoleEditing, EachHandlerSavesTheWholeFile)
{
    struct Row {
        const char *what;
        std::function<void(Ui::frmSMSConsole &)> edit;
        std::string expectedLine;
    };
    const Row rows[] = {
        {"stored text", [](auto &ui) { ui.txtStored->setText("storedX"); },
         "\"TAPStoredText=storedX\""},
        {"number", [](auto &ui) { ui.txtSMSCenterNumber->setText("999"); },
         "\"SMSCenterNumber=999\""},
        {"protocol", [](auto &ui) { ui.cmbProtocol->setCurrentIndex(1); }, "\"Protocol=TAP\""},
        {"modem", [](auto &ui) { ui.cmbModem->setCurrentIndex(3); }, "\"Port=4\""},
        {"speed", [](auto &ui) { ui.cmbBaudrate->setCurrentIndex(0); }, "\"BaudRate=110\""},
        {"frame", [](auto &ui) { ui.cmbSMSType->setCurrentIndex(5); }, "\"Setting=N 7 1\""},
    };
    for (const Row &row : rows) {
        ConsoleRig r(CompleteFile);
        row.edit(r.ui());
        const std::string file = r.file();
        EXPECT_NE(file.find(row.expectedLine + "\r\n"), std::string::npos) << row.what << "\n"
                                                                           << file;
        EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 12) << row.what;
        EXPECT_NE(file.find("\"AppPath=" + r.t.dir.string() + "/\"\r\n"), std::string::npos);
    }
}

TEST(ConsoleEditing, LegitimizationCodeSavesOnlyWithTheNextSave)
{
    ConsoleRig r(CompleteFile);
    r.ui().txtLegitimizationCode->setText("newcode");
    EXPECT_EQ(r.file(), CompleteFile);
    r.ui().txtStored->setText("s");
    EXPECT_NE(r.file().find("\"LegitimizationCode=newcode\""), std::string::npos);
}

TEST(ConsoleEditing, LosingFocusSavesEvenWithoutChange)
{
    ConsoleRig r(CompleteFile);
    ASSERT_EQ(r.file(), CompleteFile);
    loseFocus(r.ui().cmbBaudrate);
    EXPECT_NE(r.file(), CompleteFile); // AppPath now holds the program folder
    std::filesystem::remove(r.t.dir / "smsconf.conf");
    loseFocus(r.ui().cmbOperationType);
    EXPECT_TRUE(std::filesystem::exists(r.t.dir / "smsconf.conf"));
}

TEST(ConsoleEditing, DoubleQuoteCannotBeTyped)
{
    ConsoleRig r(CompleteFile);
    QLineEdit *field = r.ui().txtStored;
    field->setFocus();
    field->setText("ab");
    field->setCursorPosition(2);
    QKeyEvent quote(QEvent::KeyPress, Qt::Key_QuoteDbl, Qt::ShiftModifier, "\"");
    QApplication::sendEvent(field, &quote);
    QKeyEvent c(QEvent::KeyPress, Qt::Key_C, Qt::NoModifier, "c");
    QApplication::sendEvent(field, &c);
    EXPECT_EQ(field->text(), "abc");
    EXPECT_NE(r.file().find("\"TAPStoredText=abc\""), std::string::npos);
}

TEST(ConsoleEditing, MegabyteValueKeepsItsCursorSteadyAndIsSavedBackWhole)
{
    std::string file = CompleteFile;
    const std::string big(1 << 20, '7');
    file.replace(file.find("auth"), 4, big);
    ConsoleRig r(file);
    const int normal = QGuiApplication::styleHints()->cursorFlashTime();
    ASSERT_NE(normal, 0);
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(r.ui().txtAuthenticationCode, &in);
    EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), 0);
    loseFocus(r.ui().txtAuthenticationCode);
    EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), normal);
    QApplication::sendEvent(r.ui().txtStored, &in);
    EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), normal);
    r.ui().txtStored->setText("x");
    EXPECT_NE(r.file().find("\"AuthenticationCode=" + big + "\""), std::string::npos);
}

TEST(ConsoleEditing, SingleByteTextReachesTheFileUnchanged)
{
    ConsoleRig r(CompleteFile);
    r.ui().txtStored->setText(QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac")); // "café €"
    const std::string expected = std::string(ansiCodePageName()) == "windows-1252"
                                     ? "\"TAPStoredText=caf\xe9 \x80\""
                                     : "\"TAPStoredText=caf\xe9 ?\"";
    EXPECT_NE(r.file().find(expected), std::string::npos) << r.file();
}

TEST(ConsoleEditing, ModemChangeWithOpenPortAsks)
{
    ConsoleRig r(CompleteFile);
    ASSERT_FALSE(r.t.port.open());
    r.t.notifier.answerYes = true;
    r.ui().cmbBaudrate->setCurrentText("9600");
    ASSERT_EQ(r.t.notifier.notices.size(), 1u);
    EXPECT_EQ(r.t.notifier.notices[0].text, "Do you really want to change the modem Settings?");
    EXPECT_FALSE(r.t.port.isOpen());
    EXPECT_EQ(r.t.port.settings(), "9600,E,7,1");
    EXPECT_NE(r.t.readFile("Events.Log").find("Modem Settings Changed/False\r\n"),
              std::string::npos);
}

TEST(ConsoleSending, StartButtonRunsTheCycleAndClearingTheNumberOnlyDisablesIt)
{
    ConsoleRig r(CompleteFile);
    QPushButton *start = r.ui().cmdStartSendSMS;
    std::vector<std::pair<QString, bool>> seen; // caption and enabled, while running
    r.t.world.after(1500ms, [&] {
        r.ui().txtSMSCenterNumber->clear();
        seen.emplace_back(start->text(), start->isEnabled());
    });
    r.t.world.after(3500ms, [&] { r.ui().txtSMSCenterNumber->setText("0612345"); });
    r.t.world.after(5500ms, [&] { start->click(); });
    start->click(); // returns once the nested click has stopped the cycle
    EXPECT_EQ(seen, (std::vector<std::pair<QString, bool>>{{"Stop Automatic SMS Sending", false}}));
    EXPECT_EQ(start->text(), "Start Automatic SMS Sending");
    EXPECT_FALSE(r.console->gateway().state.AutoSending);
    EXPECT_GE(r.t.world.elapsed(), 5500ms);
}

} // namespace
} // namespace qm::test
