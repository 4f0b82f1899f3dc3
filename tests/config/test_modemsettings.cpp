#include "fakes.h"
#include "modem/applymodemsettings.h"
#include "modem/linesettings.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qm::test
{
namespace
{

void select(TestGateway &t, int modem, std::string speed, std::string frame)
{
    t.fields.ModemIndex = modem;
    t.fields.BaudRate = std::move(speed);
    t.fields.SMSType = std::move(frame);
}

TEST(LineSettings, AcceptsCompleteTextsAndRefusesTheRest)
{
    struct Row {
        std::string text;
        bool ok;
    };
    const Row rows[] = {{"9600,N,8,1", true},   {"14400,n,8,2", true},  {",N,8,1", false},
                        {"12345,N,8,1", false}, {"9600,X,8,1", false},  {"9600,N,9,1", false},
                        {"9600,N,8", false},    {" 9600,N,8,1", false}, {"", false}};
    for (const Row &r : rows) {
        LineSettings ls;
        const MaybeFailure f = ParseLineSettings(r.text, ls);
        EXPECT_EQ(!f.has_value(), r.ok) << r.text;
        if (f) {
            EXPECT_NE(f->code, 0);
            EXPECT_NE(f->description.find(r.text), std::string::npos);
        }
    }
}

TEST(ApplyModemSettings, ClosedPortTakesNewSettingsSilently)
{
    TestGateway t;
    t.gw.state.SettingsLoaded = true;
    select(t, 1, "19200", "E,7,1");
    ApplyModemSettings(t.gw);
    EXPECT_EQ(t.port.portNumber(), 2);
    EXPECT_EQ(t.port.settings(), "19200,E,7,1");
    EXPECT_TRUE(t.port.rtsCts);
    EXPECT_TRUE(t.notifier.notices.empty());
    EXPECT_FALSE(std::filesystem::exists(t.dir / "Master.Log"));
    EXPECT_NE(t.readFile("smsconf.conf").find("\"Setting=E 7 1\""), std::string::npos);
}

TEST(ApplyModemSettings, NothingIsSavedDuringStartUp)
{
    TestGateway t;
    select(t, 0, "9600", "N,8,1");
    ApplyModemSettings(t.gw);
    EXPECT_FALSE(std::filesystem::exists(t.dir / "smsconf.conf"));
}

TEST(ApplyModemSettings, IncompleteSettingsAreRefusedWithErr0018)
{
    TestGateway t;
    select(t, 0, "", "N,8,1");
    ApplyModemSettings(t.gw);
    const auto entries = t.logEntries("Master.Log");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].rfind("06/12/2026 12:00:00: Err-0018:Error occured in setting modem "
                               "properties\rError:22-Invalid line settings \",N,8,1\"",
                               0),
              0u)
        << entries[0];
    EXPECT_EQ(t.readFile("Master.Log"), t.readFile("Events.Log"));
    EXPECT_EQ(t.port.settings(), "9600,N,8,1"); // unchanged
}

TEST(ApplyModemSettings, OpenPortAsksAndYesClosesAndApplies)
{
    TestGateway t;
    t.gw.state.SettingsLoaded = true;
    ASSERT_FALSE(t.port.open());
    select(t, 2, "2400", "O,8,1");
    ApplyModemSettings(t.gw);
    ASSERT_EQ(t.notifier.notices.size(), 1u);
    EXPECT_TRUE(t.notifier.notices[0].question);
    EXPECT_EQ(t.notifier.notices[0].title, "Modem Settings");
    EXPECT_EQ(t.notifier.notices[0].text, "Do you really want to change the modem Settings?");
    EXPECT_FALSE(t.port.isOpen());
    EXPECT_EQ(t.port.portNumber(), 3);
    EXPECT_EQ(t.port.settings(), "2400,O,8,1");
    EXPECT_EQ(t.logEntries("Master.Log"),
              std::vector<std::string>{"06/12/2026 12:00:00: Modem Settings Changed/False"});
    EXPECT_EQ(t.readFile("Events.Log"), t.readFile("Master.Log"));
}

TEST(ApplyModemSettings, OpenPortAndNoKeepsPortButFileHoldsNewChoice)
{
    TestGateway t;
    t.gw.state.SettingsLoaded = true;
    ASSERT_FALSE(t.port.open());
    t.notifier.answerYes = false;
    select(t, 3, "115200", "N,8,1");
    ApplyModemSettings(t.gw);
    EXPECT_TRUE(t.port.isOpen());
    EXPECT_EQ(t.port.portNumber(), 1);
    EXPECT_EQ(t.port.settings(), "9600,N,8,1");
    EXPECT_NE(t.readFile("smsconf.conf").find("\"Port=4\""), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(t.dir / "Master.Log"));
}

TEST(ApplyModemSettings, PlatformFailureAfterYesIsLoggedWithItsCode)
{
    TestGateway t;
    ASSERT_FALSE(t.port.open());
    t.port.failOnce("setPortNumber", Failure{8002, "Invalid port number"});
    select(t, 1, "9600", "N,8,1");
    ApplyModemSettings(t.gw);
    EXPECT_EQ(t.logEntries("Master.Log"),
              std::vector<std::string>{"06/12/2026 12:00:00: Err-0018:Error occured in setting "
                                       "modem properties\rError:8002-Invalid port number/False"});
    EXPECT_FALSE(t.port.isOpen()); // closed, partly applied
    EXPECT_EQ(t.port.settings(), "9600,N,8,1");
}

} // namespace
} // namespace qm::test
