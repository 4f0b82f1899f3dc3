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
        FakeFileDialog dialog;
        if (*row.pick)
            dialog.answer = (t.dir / row.pick).string();
        const ConsoleSettings settings = LoadSettings(t.gw, t.gw.state.AppPath, dialog);
        EXPECT_EQ(dialog.asked,
                  std::vector<std::string>{"smsconf.conf Configuration Files (*.conf)|*.conf"});
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

// A closed port takes the new settings silently; an open one asks first, and only Yes applies them
// (closing the call). Refusals, of incomplete settings or by the platform after Yes, go to both
// logs with Err-0018 and their code; the port then keeps its line settings (closed, partly applied,
// after Yes). The file is rewritten, whatever the answer, once start-up has loaded it.
TEST(ApplyModemSettings, ClosedPortTakesThemOpenPortAsksRefusalsAreLoggedWithErr0018)
{
    const std::string err0018 = "Err-0018:Error occured in setting modem properties\rError:";
    // port: its number, line settings and " rts" for handshaking; saved: in the file ("" none).
    // clang-format off
    const struct { const char *name; bool open, yes, portFails, loaded; int modem;
        const char *speed, *frame; bool stillOpen; const char *port, *saved; std::string logged; }
        rows[] = {
        {"closed, before start-up loaded the file", false, true, false, false, 1, "19200", "E,7,1",
         false, "2 19200,E,7,1 rts", "", ""},
        {"closed", false, true, false, true, 1, "19200", "E,7,1", false, "2 19200,E,7,1 rts",
         "\"Setting=E 7 1\"", ""},
        {"open, yes", true, true, false, true, 2, "2400", "O,8,1", false, "3 2400,O,8,1 rts",
         "\"Port=3\"", "Modem Settings Changed"},
        {"open, no", true, false, false, true, 2, "2400", "O,8,1", true, "1 9600,N,8,1", "\"Port=3\"",
         ""},
        {"incomplete settings", false, true, false, false, 1, "", "N,8,1", false, "1 9600,N,8,1", "",
         err0018 + "22-Invalid line settings \",N,8,1\": no speed"},
        {"platform failure after yes", true, true, true, false, 1, "9600", "N,8,1", false,
         "1 9600,N,8,1", "", err0018 + "8002-Invalid port number"}};
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        TestGateway t;
        t.gw.state.SettingsLoaded = row.loaded;
        ASSERT_FALSE(row.open && t.port.open());
        if (row.portFails)
            t.port.failOnce("setPortNumber", Failure{8002, "Invalid port number"});
        t.notifier.answerYes = row.yes;
        t.fields.ModemIndex = row.modem;
        t.fields.BaudRate = row.speed;
        t.fields.SMSType = row.frame;
        ApplyModemSettings(t.gw);
        const Notice question{"Modem Settings", "Do you really want to change the modem Settings?",
                              true};
        EXPECT_EQ(t.notifier.notices, (row.open ? std::vector{question} : std::vector<Notice>{}));
        EXPECT_EQ(t.port.isOpen(), row.stillOpen);
        EXPECT_EQ(std::to_string(t.port.portNumber()) + " " + t.port.settings() +
                      (t.port.rtsCts ? " rts" : ""),
                  row.port);
        const std::string file = t.readFile("smsconf.conf");
        EXPECT_TRUE(*row.saved ? file.find(row.saved) != std::string::npos : file.empty()) << file;
        EXPECT_EQ(t.readFile("Master.Log"),
                  row.logged.empty() ? "" : "06/12/2026 12:00:00: " + row.logged + "/False\r\n");
        EXPECT_EQ(t.readFile("Events.Log"), t.readFile("Master.Log"));
    }
}

} // namespace
} // namespace qm::test
