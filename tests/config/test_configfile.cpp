#include "config/configfile.h"
#include "config/settings.h"
#include "fakes.h"

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

// The format has no escape for a double quote, so the writer must drop it.
const SavedSettings Written{"/opt/quillmast/", 2,        "E,7,1", "19200",
                            "0612 345",        "TAP",    "51",    "stored, with \"comma\"",
                            "delivered",       "secret", "legit", 1000};

// Port comes back as the 0-based modem index, Setting with commas; fields in
// declaration order.
const ConsoleSettings Read{1,        "E,7,1", "19200",           "0612 345",           "TAP",
                           "51",     1000,    "/opt/quillmast/", "stored, with comma", "delivered",
                           "secret", "legit"};

TEST(ConfigFile, WritesEveryKeyAndReadsItBack)
{
    EXPECT_EQ(FormatConfig(Written), FullFile);
    ConsoleSettings s;
    ParseConfig(FullFile, s);
    EXPECT_EQ(s, Read);
}

// The rows name only what differs from the defaults.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
TEST(ConfigFile, OddValues)
{
    const std::pair<std::string, ConsoleSettings> rows[] = {
        {"\"Port=0\"\r\n", {.Port = -1}},
        {"\"Port=-0.5\"\r\n", {.Port = -2}},
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
    EXPECT_EQ(t.gw.state.AppPath, t.dir.string() + "/");
    const std::string content = t.readFile("smsconf.conf");
    EXPECT_EQ(content.substr(0, content.find("\r\n\"Setting")),
              "\"AppPath=" + t.dir.string() + "/\"\r\n\"Port=2\"");
    EXPECT_NE(content.find("\"PollingInterval=0\"\r\n"), std::string::npos);
    EXPECT_EQ(fs::status(t.dir / "smsconf.conf").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(std::distance(fs::directory_iterator(t.dir), {}), 1); // no temporary file left
}

TEST(Settings, FailedReplaceLeavesTargetAndNoTemporaryFile)
{
    TestGateway t;
    // A folder in the file's place cannot be replaced by a file.
    fs::create_directory(t.dir / "smsconf.conf");
    std::ofstream(t.dir / "smsconf.conf" / "inside", std::ios::binary) << "kept";
    SaveSettings(t.gw);
    EXPECT_NE(t.status.text().find("Settings not saved to " + t.gw.state.ConfigFilePath),
              std::string::npos);
    EXPECT_EQ(t.readFile("smsconf.conf/inside"), "kept");
    EXPECT_EQ(std::distance(fs::directory_iterator(t.dir), {}), 1);
    EXPECT_TRUE(t.notifier.notices.empty());
}

TEST(Settings, ReadOnlyFileIsNotReplaced)
{
    TestGateway t;
    std::ofstream(t.dir / "smsconf.conf", std::ios::binary) << FullFile;
    fs::permissions(t.dir / "smsconf.conf", fs::perms::owner_read);
    SaveSettings(t.gw);
    EXPECT_EQ(t.readFile("smsconf.conf"), FullFile);
    EXPECT_EQ(t.status.text(),
              "Settings not saved to " + t.gw.state.ConfigFilePath + ": the file is read-only");
    EXPECT_EQ(fs::status(t.dir / "smsconf.conf").permissions(), fs::perms::owner_read);
}

} // namespace
} // namespace qm::test
