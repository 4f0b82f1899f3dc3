#include "config/configfile.h"
#include "config/settings.h"
#include "fakes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace qm::test
{
namespace
{

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

SavedSettings asSaved(const ConsoleSettings &s)
{
    SavedSettings w;
    w.AppPath = s.AppPath;
    w.Port = s.Port + 1;
    w.Setting = s.Setting;
    w.BaudRate = s.BaudRate;
    w.SMSCenterNumber = s.SMSCenterNumber;
    w.Protocol = s.Protocol;
    w.OpType = s.OpType;
    w.TAPStoredText = s.TAPStoredText;
    w.TAPDeliveredText = s.TAPDeliveredText;
    w.AuthenticationCode = s.AuthenticationCode;
    w.LegitimizationCode = s.LegitimizationCode;
    w.PollingInterval = s.PollingInterval;
    return w;
}

// Read, 0-based Port and commas in Setting; written back byte for byte.
TEST(ConfigFile, ReadsEveryKeyAndWritesTheSameLinesBack)
{
    ConsoleSettings s;
    ParseConfig(FullFile, s);
    ConsoleSettings expected;
    expected.AppPath = "/opt/quillmast/";
    expected.Port = 1;
    expected.Setting = "E,7,1";
    expected.BaudRate = "19200";
    expected.SMSCenterNumber = "0612 345";
    expected.Protocol = "TAP";
    expected.OpType = "51";
    expected.TAPStoredText = "stored, with comma";
    expected.TAPDeliveredText = "delivered";
    expected.AuthenticationCode = "secret";
    expected.LegitimizationCode = "legit";
    expected.PollingInterval = 1000;
    EXPECT_EQ(s, expected);
    EXPECT_EQ(FormatConfig(asSaved(s)), FullFile);
}

TEST(ConfigFile, OddValues)
{
    struct Row {
        std::string content;
        ConsoleSettings expected;
    };
    auto with = [](auto change) {
        ConsoleSettings s;
        change(s);
        return s;
    };
    const Row rows[] = {
        {"\"Port=3.9\"\r\n", with([](auto &s) { s.Port = 2; })},
        {"\"Port=0\"\r\n", with([](auto &s) { s.Port = -1; })},
        {"\"Port=-0.5\"\r\n", with([](auto &s) { s.Port = -2; })},
        {"\"Port=+3\"\r\n", with([](auto &s) { s.Port = 2; })},
        {"\"Port=0x10\"\r\n", ConsoleSettings{}},
        {"\"PollingInterval=1e3\"\r\n", with([](auto &s) { s.PollingInterval = 1000; })},
        {"Protocol=U\"CP\r\n", with([](auto &s) { s.Protocol = "UCP"; })},
        {"\"port=2\"\r\n", ConsoleSettings{}},
        {"\"PollingInterval=2500.7\"\r\n", with([](auto &s) { s.PollingInterval = 2500; })},
        // Unquoted entries end at a comma; blanks around them are dropped.
        {"  Protocol=UCP , OpType=03\r\n", with([](auto &s) {
             s.Protocol = "UCP";
             s.OpType = "03";
         })},
        // Hand-edited files with LF only, and text after a closing quote.
        {"\"OpType=30\"junk\n\"Protocol=UCP\"\n", with([](auto &s) {
             s.OpType = "30";
             s.Protocol = "UCP";
         })},
        // A quote that never closes runs to the end of the file.
        {"\"LegitimizationCode=abc\r\n", with([](auto &s) { s.LegitimizationCode = "abc\r\n"; })},
        {"", ConsoleSettings{}},
    };
    for (const Row &r : rows) {
        ConsoleSettings s;
        ParseConfig(r.content, s);
        EXPECT_EQ(s, r.expected) << "content: " << r.content;
    }
}

TEST(ConfigFile, DoubleQuoteInAValueCannotBreakTheFile)
{
    SavedSettings w;
    w.TAPStoredText = "say \"hi\"";
    w.Protocol = "UCP";
    ConsoleSettings r;
    ParseConfig(FormatConfig(w), r);
    EXPECT_EQ(r.TAPStoredText, "say hi");
    EXPECT_EQ(r.Protocol, "UCP");
}

// LoadSettings / SaveSettings over a real folder.

class NoDialog : public FileDialog
{
public:
    std::optional<std::string> askOpenFile(const std::string &preset,
                                           const std::string &filter) override
    {
        asked.push_back(preset + "|" + filter);
        return answer;
    }
    std::vector<std::string> asked;
    std::optional<std::string> answer;
};

void writeFile(const std::filesystem::path &p, const std::string &content)
{
    std::ofstream(p, std::ios::binary) << content;
}

TEST(Settings, MissingFileAsksAndUsesThePickedFile)
{
    TestGateway t;
    std::filesystem::create_directory(t.dir / "elsewhere");
    const auto picked = (t.dir / "elsewhere" / "mine.conf").string();
    writeFile(picked, "\"Protocol=UCP\"\r\n");
    NoDialog dialog;
    dialog.answer = picked;
    const ConsoleSettings s = LoadSettings(t.gw, t.gw.state.AppPath, dialog);
    ASSERT_EQ(dialog.asked.size(), 1u);
    EXPECT_EQ(dialog.asked[0], "smsconf.conf|Configuration Files (*.conf)|*.conf");
    EXPECT_EQ(s.Protocol, "UCP");
    EXPECT_EQ(t.gw.state.ConfigFilePath, picked);
}

TEST(Settings, NothingReadableStartsEmptyAndSaysSo)
{
    for (bool cancel : {true, false}) {
        TestGateway t;
        NoDialog dialog;
        if (!cancel)
            dialog.answer = (t.dir / "nope.conf").string();
        const ConsoleSettings s = LoadSettings(t.gw, t.gw.state.AppPath, dialog);
        EXPECT_EQ(s, ConsoleSettings{});
        EXPECT_EQ(t.gw.state.ConfigFilePath, (t.dir / "smsconf.conf").string());
        EXPECT_NE(t.status.text().find("empty settings"), std::string::npos);
    }
}

TEST(Settings, SaveWritesFieldsOwnerOnlyAndAddsSeparatorToAppPath)
{
    TestGateway t;
    t.gw.state.AppPath = t.dir.string(); // no trailing separator
    t.fields.ModemIndex = 1;
    t.fields.SMSType = "N,8,1";
    t.fields.BaudRate = "9600";
    t.fields.Protocol = "UCP";
    t.CheckPendingSMS.setInterval(0);
    SaveSettings(t.gw);
    EXPECT_EQ(t.gw.state.AppPath, t.dir.string() + "/");
    const std::string content = t.readFile("smsconf.conf");
    EXPECT_EQ(content.substr(0, content.find("\r\n\"Setting")),
              "\"AppPath=" + t.dir.string() + "/\"\r\n\"Port=2\"");
    EXPECT_NE(content.find("\"PollingInterval=0\"\r\n"), std::string::npos);
    struct stat st {
    };
    ASSERT_EQ(::stat((t.dir / "smsconf.conf").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // Nothing but the file itself is left in the folder.
    int files = 0;
    for ([[maybe_unused]] const auto &e : std::filesystem::directory_iterator(t.dir))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(Settings, FailedReplaceLeavesTargetAndNoTemporaryFile)
{
    TestGateway t;
    // A folder in the file's place cannot be replaced by a file.
    std::filesystem::create_directory(t.dir / "smsconf.conf");
    writeFile(t.dir / "smsconf.conf" / "inside", "kept");
    t.fields.Protocol = "UCP";
    SaveSettings(t.gw);
    EXPECT_NE(t.status.text().find("Settings not saved to " + t.gw.state.ConfigFilePath),
              std::string::npos);
    EXPECT_EQ(t.readFile("smsconf.conf/inside"), "kept");
    int entries = 0;
    for ([[maybe_unused]] const auto &e : std::filesystem::directory_iterator(t.dir))
        ++entries;
    EXPECT_EQ(entries, 1) << "the temporary file must be removed";
    EXPECT_TRUE(t.notifier.notices.empty());
}

TEST(Settings, ReadOnlyFileIsNotReplaced)
{
    TestGateway t;
    writeFile(t.dir / "smsconf.conf", FullFile);
    std::filesystem::permissions(t.dir / "smsconf.conf", std::filesystem::perms::owner_read);
    t.fields.Protocol = "UCP";
    SaveSettings(t.gw);
    EXPECT_EQ(t.readFile("smsconf.conf"), FullFile);
    EXPECT_EQ(t.status.text(),
              "Settings not saved to " + t.gw.state.ConfigFilePath + ": the file is read-only");
    EXPECT_EQ(std::filesystem::status(t.dir / "smsconf.conf").permissions(),
              std::filesystem::perms::owner_read);
}

} // namespace
} // namespace qm::test
