// The settings file, loading and saving it, and applying the modem settings.

#include "config/settings.h"
#include "fakes.h"
#include "modem/applymodemsettings.h"
#include "pure/configfile.h"
#include "pure/linesettings.h"

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

const std::string FullFile = "\"AppPath=/opt/quillmast/\"\r\n"
                             "\"Port=2\"\r\n"
                             "\"Setting=E 7 1\"\r\n"
                             "\"BaudRate=19200\"\r\n"
                             "\"SMSCenterNumber=0612 345\"\r\n"
                             "\"Protocol=TAP\"\r\n"
                             "\"OpType=51\"\r\n"
                             "\"TAPStoredText=stored, with comma\"\r\n"
                             "\"TAPDeliveredText=delivered\"\r\n"
                             "\"AuthenticationCode=secret\"\r\n"
                             "\"LegitimizationCode=legit\"\r\n"
                             "\"PollingInterval=1000\"\r\n";

// The format has no escape for a double quote, so the writer must drop it; Setting is shown with
// commas.
const ConsoleSettings Written{"/opt/quillmast/", 2,        "E,7,1", "19200",
                              "0612 345",        "TAP",    "51",    "stored, with \"comma\"",
                              "delivered",       "secret", "legit", 1000};
const ConsoleSettings Read = [] {
    ConsoleSettings s = Written;
    s.TAPStoredText = "stored, with comma";
    return s;
}();

// The rows after the first name only what differs from the defaults.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
TEST(ConfigFile, WritesEveryKeyAndReadsItBackAndOddValues)
{
    EXPECT_EQ(FormatConfig(Written), FullFile);
    const std::pair<std::string, ConsoleSettings> rows[] = {
        {FullFile, Read},
        {"\"Port=0\"\r\n", {.Port = 0}},
        {"\"Port=-0.5\"\r\n", {.Port = -1}},
        {"\"Port=0x10\"\r\n", {}},
        {"\"PollingInterval=1e3\"\r\n", {.PollingInterval = 1000}},
        {"Protocol=U\"CP\r\n", {.Protocol = "UCP"}},
        // Unquoted entries end at a comma; blanks around them are dropped.
        {"  Protocol=UCP , OpType=03\r\n", {.Protocol = "UCP", .OpType = "03"}},
        // Hand-edited files with LF only, and text after a closing quote.
        {"\"OpType=30\"junk\n\"Protocol=UCP\"\n", {.Protocol = "UCP", .OpType = "30"}},
        // A quote that never closes runs to the end of the file.
        {"\"LegitimizationCode=abc\r\n", {.LegitimizationCode = "abc\r\n"}},
        {"", {}},
    };
    for (const auto &[content, expected] : rows) {
        ConsoleSettings s;
        ParseConfig(content, s);
        EXPECT_EQ(s, expected) << "content: " << content;
    }
}
#pragma GCC diagnostic pop

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
    for (const char *pick : {"", "nope.conf", "mine.conf"}) {
        SCOPED_TRACE(pick);
        TestGateway t;
        std::ofstream(t.dir / "mine.conf", std::ios::binary) << "\"Protocol=UCP\"\r\n";
        NoDialog dialog;
        if (*pick)
            dialog.answer = (t.dir / pick).string();
        const ConsoleSettings s = LoadSettings(t.gw, t.gw.state.AppPath, dialog);
        EXPECT_EQ(dialog.asked,
                  std::vector<std::string>{"smsconf.conf|Configuration Files (*.conf)|*.conf"});
        const bool used = pick == std::string("mine.conf");
        EXPECT_EQ(s.Protocol, used ? "UCP" : "");
        EXPECT_EQ(t.gw.state.ConfigFilePath, (t.dir / (used ? pick : "smsconf.conf")).string());
        EXPECT_EQ(t.status.text().find("empty settings") != std::string::npos, !used);
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
    for (const std::string kept : {"smsconf.conf", "smsconf.conf/inside"}) {
        SCOPED_TRACE(kept);
        TestGateway t;
        const bool readOnly = kept == "smsconf.conf";
        fs::create_directories((t.dir / kept).parent_path());
        std::ofstream(t.dir / kept, std::ios::binary) << FullFile;
        if (readOnly)
            fs::permissions(t.dir / kept, fs::perms::owner_read);
        SaveSettings(t.gw);
        EXPECT_THAT(t.status.text(),
                    testing::StartsWith("Settings not saved to " + t.gw.state.ConfigFilePath +
                                        (readOnly ? ": the file is read-only" : "")));
        EXPECT_EQ(t.readFile(kept), FullFile);
        EXPECT_EQ(std::distance(fs::directory_iterator(t.dir), {}), 1);
        EXPECT_TRUE(t.notifier.notices.empty());
        // Windows deletes no read-only file, so the folder could not be cleared.
        fs::permissions(t.dir / kept, fs::perms::owner_write, fs::perm_options::add);
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

TEST(LineSettings, AcceptsCompleteTextsAndRefusesTheRest)
{
    const std::pair<std::string, bool> rows[] = {
        {"9600,N,8,1", true},   {"14400,n,8,2", true},  {",N,8,1", false},
        {"12345,N,8,1", false}, {"9600,X,8,1", false},  {"9600,N,9,1", false},
        {"9600,N,8", false},    {" 9600,N,8,1", false}, {"", false}};
    for (const auto &[text, ok] : rows) {
        LineSettings ls;
        EXPECT_EQ(!ParseLineSettings(text, ls), ok) << text;
    }
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
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes);
        TestGateway t;
        t.gw.state.SettingsLoaded = true;
        ASSERT_FALSE(t.port.open());
        t.notifier.answerYes = yes;
        select(t, 2, "2400", "O,8,1");
        ApplyModemSettings(t.gw);
        EXPECT_EQ(
            t.notifier.notices,
            (std::vector<Notice>{
                {"Modem Settings", "Do you really want to change the modem Settings?", true}}));
        EXPECT_EQ(t.port.isOpen(), !yes);
        EXPECT_EQ(t.port.portNumber(), yes ? 3 : 1);
        EXPECT_EQ(t.port.settings(), yes ? "2400,O,8,1" : "9600,N,8,1");
        EXPECT_THAT(t.readFile("smsconf.conf"), testing::HasSubstr("\"Port=3\""));
        EXPECT_EQ(t.readFile("Master.Log"),
                  yes ? "06/12/2026 12:00:00: Modem Settings Changed/False\r\n" : "");
        EXPECT_EQ(t.readFile("Events.Log"), t.readFile("Master.Log"));
    }
}

// Incomplete settings, and a platform failure after Yes, go to both logs with their code; the
// port keeps its line settings (it is closed, partly applied, after Yes).
TEST(ApplyModemSettings, RefusalsAreLoggedWithErr0018AndTheirCode)
{
    for (const bool incomplete : {true, false}) {
        SCOPED_TRACE(incomplete);
        TestGateway t;
        if (!incomplete) {
            ASSERT_FALSE(t.port.open());
            t.port.failOnce("setPortNumber", Failure{8002, "Invalid port number"});
        }
        select(t, 1, incomplete ? "" : "9600", "N,8,1");
        ApplyModemSettings(t.gw);
        EXPECT_THAT(
            t.readFile("Master.Log"),
            testing::StartsWith(Err0018 + (incomplete ? "22-Invalid line settings \",N,8,1\""
                                                      : "8002-Invalid port number/False")));
        EXPECT_EQ(t.readFile("Events.Log"), t.readFile("Master.Log"));
        EXPECT_FALSE(t.port.isOpen());
        EXPECT_EQ(t.port.settings(), "9600,N,8,1");
    }
}

} // namespace
} // namespace qm::test
