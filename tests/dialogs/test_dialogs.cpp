// The test message dialog against the simulated centre and the outbox path
// dialog over a temporary folder.

// Before any Qt header: the simulator has a member named emit.
#include "sendrig.h"

#include "commands/outboxpath.h"
#include "commands/testmessage.h"
#include "qt/dialogs/frmchangepath.h"
#include "qt/dialogs/frmtestsms.h"
#include "log/writelog.h"
#include "qtapp.h"
#include "qt/platform/qtserialport.h"
#include "send/messagefile.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
#include <fstream>

namespace qm::test
{
namespace
{

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(TestMessageDialog, SendsTheFixedTextToTheNumberAsTypedAndLeavesTestModeOff)
{
    // Name, dial result, whether an exchange is under way (a refused dialog stays open), and
    // whether the message reached the centre.
    const std::tuple<const char *, sim::DialResult, bool, bool> rows[] = {
        {"connects", sim::DialResult::Connect, false, true},
        {"busy", sim::DialResult::Busy, false, false},
        {"refused while an exchange runs", sim::DialResult::Connect, true, false}};
    for (const auto &[name, dial, exchangeUnderWay, delivered] : rows) {
        SCOPED_TRACE(name);
        RigOptions options;
        options.modem.result = dial;
        SendRig rig(options);
        rig.gw.state.ExchangeInProgress = exchangeUnderWay;
        bool testModeDuringSend = false;
        frmTestSMS dialog([&](const std::string &number) {
            rig.t.world.after(100ms, [&] { testModeDuringSend = rig.gw.state.TestMode; });
            return SendTestMessage(rig.gw, number);
        });
        dialog.show();
        dialog.txtSMSNumber->setText(" 0612 999 ");
        dialog.txtSMSMessage->setText("whatever the operator wrote");
        dialog.cmdSend->click();

        // The centre's verdict does not matter here, only what reached it.
        auto sent = rig.record.messages("accepted");
        for (const auto &refused : rig.record.messages("refused"))
            sent.push_back(refused);
        using Sent = std::vector<std::pair<std::string, std::string>>;
        EXPECT_EQ(sent, (delivered ? Sent{{" 0612 999 ", "Korvane Test Message"}} : Sent{}));
        EXPECT_EQ(testModeDuringSend, !exchangeUnderWay);
        EXPECT_FALSE(rig.gw.state.TestMode);
        EXPECT_EQ(dialog.isVisible(), exchangeUnderWay);
        EXPECT_EQ(rig.t.status.text() == ExchangeBusyText, exchangeUnderWay);
    }
}

TEST(OutboxPath, UpdateMovesOutboxAndLogsButNotTheModem)
{
    TestGateway t;
    const std::string program = t.gw.state.AppPath;
    const fs::path moved = t.dir / "moved";
    fs::create_directories(moved);
    for (const fs::path &folder : {t.dir, moved})
        std::ofstream(folder / "COM1") << "";
    QtSerialPort port(program);

    frmChangePath dialog(PathTarget{[&] { return t.gw.state.AppPath; },
                                    [&](const std::string &f) { UpdateAppPath(t.gw, f); }});
    EXPECT_EQ(dialog.currentFolder().toStdString() + "/", program); // Load opened AppPath
    dialog.show();
    dialog.openFolder(QString::fromStdString(moved.string()));
    dialog.cmdCancel->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(t.gw.state.AppPath, program);

    dialog.openFolder("/");
    dialog.openFolder(QString::fromStdString((t.dir / "missing").string())); // ignored
    dialog.cmdUpdate->click();
    EXPECT_EQ(t.gw.state.AppPath, "/");
    EXPECT_EQ(t.status.text(), "Path Changed to : /");

    dialog.openFolder(QString::fromStdString(moved.string()));
    dialog.cmdUpdate->click();
    const std::string now = moved.string() + "/";
    EXPECT_EQ(t.status.text(), "Path Changed to : " + now);
    WriteLog(t.gw, LogTarget::MasterLog, "after the move");
    EXPECT_TRUE(fs::exists(moved / "Master.Log"));
    EXPECT_EQ(OutboxFolder(t.gw), now + "outbox/");
    EXPECT_EQ(port.devicePath(1), program + "COM1");
}

} // namespace
} // namespace qm::test
