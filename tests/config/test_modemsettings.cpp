#include "fakes.h"
#include "modem/applymodemsettings.h"
#include "modem/linesettings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qm::test
{
namespace
{

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

TEST(ApplyModemSettings, IncompleteSettingsAreRefusedWithErr0018)
{
    TestGateway t;
    select(t, 0, "", "N,8,1");
    ApplyModemSettings(t.gw);
    EXPECT_THAT(t.readFile("Master.Log"),
                testing::StartsWith(Err0018 + "22-Invalid line settings \",N,8,1\""));
    EXPECT_EQ(t.readFile("Master.Log"), t.readFile("Events.Log"));
    EXPECT_EQ(t.port.settings(), "9600,N,8,1"); // unchanged
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
        ASSERT_EQ(t.notifier.notices.size(), 1u);
        EXPECT_TRUE(t.notifier.notices[0].question);
        EXPECT_EQ(t.notifier.notices[0].title, "Modem Settings");
        EXPECT_EQ(t.notifier.notices[0].text, "Do you really want to change the modem Settings?");
        EXPECT_EQ(t.port.isOpen(), !yes);
        EXPECT_EQ(t.port.portNumber(), yes ? 3 : 1);
        EXPECT_EQ(t.port.settings(), yes ? "2400,O,8,1" : "9600,N,8,1");
        EXPECT_THAT(t.readFile("smsconf.conf"), testing::HasSubstr("\"Port=3\""));
        EXPECT_EQ(t.readFile("Master.Log"),
                  yes ? "06/12/2026 12:00:00: Modem Settings Changed/False\r\n" : "");
        EXPECT_EQ(t.readFile("Events.Log"), t.readFile("Master.Log"));
    }
}

TEST(ApplyModemSettings, PlatformFailureAfterYesIsLoggedWithItsCode)
{
    TestGateway t;
    ASSERT_FALSE(t.port.open());
    t.port.failOnce("setPortNumber", Failure{8002, "Invalid port number"});
    select(t, 1, "9600", "N,8,1");
    ApplyModemSettings(t.gw);
    EXPECT_EQ(t.readFile("Master.Log"), Err0018 + "8002-Invalid port number/False\r\n");
    EXPECT_FALSE(t.port.isOpen()); // closed, partly applied
    EXPECT_EQ(t.port.settings(), "9600,N,8,1");
}

} // namespace
} // namespace qm::test
