// Loading and saving the settings file, and applying the modem settings.

#include "config/settings.h"
#include "fakes.h"
#include "modem/applymodemsettings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace qm::test
{
namespace
{

namespace fs = std::filesystem;

// LoadSettings / SaveSettings over a real folder.

struct NoDialog : FileDialog {
    std::optional<std::string> askOpenFile(const std::string &preset,
                                           const std::string &filter) override
    {
        asked.push_back(preset + "|" + filter);
        return answer;
    }
    std::vector<std::string> asked;
    std::optional<std::string> answer;
};

// A missing file asks for another; one that cannot be read either starts empty.
TEST(Settings, MissingFileAsksAndUsesThePickOrStartsEmpty)
{
    // used: the file the gateway keeps.
    // clang-format off
    const struct { const char *name, *pick, *protocol, *used; bool startsEmpty; } rows[] = {
        {"nothing picked", "", "", "smsconf.conf", true},
        {"a missing file picked", "nope.conf", "", "smsconf.conf", true},
        {"a file picked", "mine.conf", "UCP", "mine.conf", false}};
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        TestGateway t;
        std::ofstream(t.dir / "mine.conf", std::ios::binary) << "\"Protocol=UCP\"\r\n";
        NoDialog dialog;
        if (*row.pick)
            dialog.answer = (t.dir / row.pick).string();
        const ConsoleSettings settings = LoadSettings(t.gw, t.gw.state.AppPath, dialog);
        EXPECT_EQ(dialog.asked,
                  std::vector<std::string>{"smsconf.conf|Configuration Files (*.conf)|*.conf"});
        EXPECT_EQ(settings.Protocol, row.protocol);
        EXPECT_EQ(t.gw.state.ConfigFilePath, (t.dir / row.used).string());
        EXPECT_EQ(t.status.text().find("empty settings") != std::string::npos, row.startsEmpty);
    }
}

TEST(Settings, SaveWritesFieldsOwnerOnlyAndAddsSeparatorToAppPath)
{
    TestGateway t;
    t.gw.state.AppPath = t.dir.string(); // no trailing separator
    t.fields.ModemIndex = 1;
    t.CheckPendingSMS.setInterval(0);
    SaveSettings(t.gw);
    EXPECT_EQ(t.gw.state.AppPath, t.dir.string() + PathSeparator);
    const std::string content = t.readFile("smsconf.conf");
    EXPECT_EQ(content.substr(0, content.find("\r\n\"Setting")),
              "\"AppPath=" + t.dir.string() + PathSeparator + "\"\r\n\"Port=2\"");
    EXPECT_NE(content.find("\"PollingInterval=0\"\r\n"), std::string::npos);
#ifndef _WIN32 // a Windows file takes its folder's permissions (an access list)
    EXPECT_EQ(fs::status(t.dir / "smsconf.conf").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
#endif
    EXPECT_EQ(std::distance(fs::directory_iterator(t.dir), {}), 1); // no temporary file left
}

// A read-only file, or a folder in the file's place, is left as it is, without a temporary file.
TEST(Settings, FailedReplaceLeavesTargetAndNoTemporaryFile)
{
    const std::string old = "\"Protocol=TAP\"\r\n";
    // kept: the file in the way.
    // clang-format off
    const struct { const char *name, *kept, *reason; bool readOnly; } rows[] = {
        {"read-only file", "smsconf.conf", ": the file is read-only", true},
        {"folder in the file's place", "smsconf.conf/inside", "", false}};
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        TestGateway t;
        fs::create_directories((t.dir / row.kept).parent_path());
        std::ofstream(t.dir / row.kept, std::ios::binary) << old;
        if (row.readOnly)
            fs::permissions(t.dir / row.kept, fs::perms::owner_read);
        SaveSettings(t.gw);
        EXPECT_THAT(t.status.text(), testing::StartsWith("Settings not saved to " +
                                                         t.gw.state.ConfigFilePath + row.reason));
        EXPECT_EQ(t.readFile(row.kept), old);
        EXPECT_EQ(std::distance(fs::directory_iterator(t.dir), {}), 1);
        EXPECT_TRUE(t.notifier.notices.empty());
        // Windows deletes no read-only file, so the folder could not be cleared.
        fs::permissions(t.dir / row.kept, fs::perms::owner_write, fs::perm_options::add);
    }
}

const std::string Err0018 = "06/12/2026 12:00:00: Err-0018:Error occured in setting modem "
                            "properties\rError:";

void select(TestGateway &t, int modem, std::string speed, std::string frame)
{
    t.fields.ModemIndex = modem;
    t.fields.BaudRate = std::move(speed);
    t.fields.SMSType = std::move(frame);
}

// The file is rewritten only once start-up has loaded it.
TEST(ApplyModemSettings, ClosedPortTakesNewSettingsSilently)
{
    TestGateway t;
    select(t, 1, "19200", "E,7,1");
    ApplyModemSettings(t.gw);
    EXPECT_EQ(t.readFile("smsconf.conf"), "");
    t.gw.state.SettingsLoaded = true;
    ApplyModemSettings(t.gw);
    EXPECT_EQ(t.port.portNumber(), 2);
    EXPECT_EQ(t.port.settings(), "19200,E,7,1");
    EXPECT_TRUE(t.port.rtsCts);
    EXPECT_TRUE(t.notifier.notices.empty());
    EXPECT_EQ(t.readFile("Master.Log"), "");
    EXPECT_THAT(t.readFile("smsconf.conf"), testing::HasSubstr("\"Setting=E 7 1\""));
}

// Either answer leaves the new choice in the file; only Yes applies it.
TEST(ApplyModemSettings, OpenPortAsksFirst)
{
    // clang-format off
    const struct { const char *name; bool yes, stillOpen; int port; const char *settings, *logged; }
        rows[] = {{"yes", true, false, 3, "2400,O,8,1",
                 "06/12/2026 12:00:00: Modem Settings Changed/False\r\n"},
        {"no", false, true, 1, "9600,N,8,1", ""}};
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        TestGateway t;
        t.gw.state.SettingsLoaded = true;
        ASSERT_FALSE(t.port.open());
        t.notifier.answerYes = row.yes;
        select(t, 2, "2400", "O,8,1");
        ApplyModemSettings(t.gw);
        EXPECT_EQ(
            t.notifier.notices,
            (std::vector<Notice>{
                {"Modem Settings", "Do you really want to change the modem Settings?", true}}));
        EXPECT_EQ(t.port.isOpen(), row.stillOpen);
        EXPECT_EQ(t.port.portNumber(), row.port);
        EXPECT_EQ(t.port.settings(), row.settings);
        EXPECT_THAT(t.readFile("smsconf.conf"), testing::HasSubstr("\"Port=3\""));
        EXPECT_EQ(t.readFile("Master.Log"), row.logged);
        EXPECT_EQ(t.readFile("Events.Log"), t.readFile("Master.Log"));
    }
}

// Incomplete settings, and a platform failure after Yes, go to both logs with their code; the
// port keeps its line settings (it is closed, partly applied, after Yes).
TEST(ApplyModemSettings, RefusalsAreLoggedWithErr0018AndTheirCode)
{
    // portFails: the port is open, and refuses its new number after Yes.
    // clang-format off
    const struct { const char *name, *speed; bool portFails; std::string logged; } rows[] = {
        {"incomplete settings", "", false, "22-Invalid line settings \",N,8,1\""},
        {"platform failure", "9600", true, "8002-Invalid port number/False"}};
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        TestGateway t;
        if (row.portFails) {
            ASSERT_FALSE(t.port.open());
            t.port.failOnce("setPortNumber", Failure{8002, "Invalid port number"});
        }
        select(t, 1, row.speed, "N,8,1");
        ApplyModemSettings(t.gw);
        EXPECT_THAT(t.readFile("Master.Log"), testing::StartsWith(Err0018 + row.logged));
        EXPECT_EQ(t.readFile("Events.Log"), t.readFile("Master.Log"));
        EXPECT_FALSE(t.port.isOpen());
        EXPECT_EQ(t.port.settings(), "9600,N,8,1");
    }
}

} // namespace
} // namespace qm::test
