#include "basiccentres.h"
#include "hayesmodem.h"
#include "simtest.h"

#include <gtest/gtest.h>

namespace qm::sim
{
namespace
{

using namespace std::chrono_literals;
using test::ListRecorder;
using test::Scenario;

struct CommandRow {
    const char *name;
    bool echo;
    std::vector<std::string> inputs;
    std::string output;
};

const CommandRow CommandRows[] = {
    {"AtIsOk", true, {"AT\r"}, "AT\r\r\nOK\r\n"},
    {"LowerCase", true, {"at\r"}, "at\r\r\nOK\r\n"},
    {"EchoOff", false, {"AT\r"}, "\r\nOK\r\n"},
    {"E0TurnsEchoOff", true, {"ATE0\r", "AT\r"}, "ATE0\r\r\nOK\r\n\r\nOK\r\n"},
    {"E1TurnsEchoOn", false, {"ATE1\r", "AT\r"}, "\r\nOK\r\nAT\r\r\nOK\r\n"},
    {"ZRestoresStoredEcho",
     true,
     {"ATE0\r", "ATZ\r", "AT\r"},
     "ATE0\r\r\nOK\r\n\r\nOK\r\nAT\r\r\nOK\r\n"},
    {"HangUpOnHook", false, {"ATH\r", "ATH0\r"}, "\r\nOK\r\n\r\nOK\r\n"},
    {"SeveralCommands", false, {"ATE0 V1 Q0\r"}, "\r\nOK\r\n"},
    {"UnknownCommand", false, {"ATY\r"}, "\r\nERROR\r\n"},
    {"BadEchoValue", false, {"ATE2\r"}, "\r\nERROR\r\n"},
    {"NotForTheModem", false, {"hello\r", "\r"}, ""},
    {"SplitCommand", false, {"A", "T", "E", "0", "\r"}, "\r\nOK\r\n"},
    {"LineFeedIgnored", false, {"\nAT\n\r"}, "\r\nOK\r\n"},
    {"BackspaceEdits", false, {"ATX\b\r"}, "\r\nOK\r\n"},
    {"HangUpWithoutCrWaits", false, {"ATH"}, ""},
    {"OverlongLineIsCutNotFatal", false, {std::string(10000, 'x') + "\rAT\r"}, "\r\nOK\r\n"},
};

TEST(ModemCommands, Answers)
{
    for (const CommandRow &row : CommandRows) {
        SCOPED_TRACE(row.name);
        HayesModem m(Scenario(DialResult::Connect, 1000ms, row.echo));
        std::string out;
        for (const std::string &in : row.inputs) {
            m.input(0ms, in);
            out += m.takeOutput(0ms);
        }
        EXPECT_EQ(out, row.output);
        EXPECT_EQ(m.state(), HayesModem::State::Command);
        EXPECT_FALSE(m.carrier(10s));
    }
}

struct DialRow {
    DialResult result;
    std::string code;
    bool carrier;
    int speed = 9600;
    std::string command = "ATDT 5550100\r"; // D alone dials too
};

const DialRow DialRows[] = {
    {DialResult::Connect, "CONNECT 9600", true},
    {DialResult::Connect, "CONNECT 2400", true, 2400, "ATD 5550100\r"},
    {DialResult::Busy, "BUSY", false},
    {DialResult::NoCarrier, "NO CARRIER", false},
    {DialResult::NoDialtone, "NO DIALTONE", false},
    {DialResult::Error, "ERROR", false},
};

TEST(ModemDial, ResultComesAfterTheDelay)
{
    for (const DialRow &row : DialRows) {
        SCOPED_TRACE(row.code);
        ListRecorder rec;
        ModemScenario s = Scenario(row.result, 2500ms, true);
        s.speed = row.speed;
        HayesModem m(s, nullptr, &rec);
        m.input(100ms, row.command);
        EXPECT_EQ(m.takeOutput(100ms), row.command);
        EXPECT_EQ(m.state(), HayesModem::State::Dialling);
        EXPECT_EQ(m.nextDue(), std::optional<SimTime>(2600ms));
        EXPECT_EQ(m.takeOutput(2599ms), "");
        EXPECT_FALSE(m.carrier(2599ms));

        EXPECT_EQ(m.carrier(2600ms), row.carrier);
        EXPECT_EQ(m.takeOutput(2600ms), "\r\n" + row.code + "\r\n");
        EXPECT_EQ(m.state(), row.carrier ? HayesModem::State::Online : HayesModem::State::Command);
        EXPECT_EQ(m.nextDue(), std::nullopt);

        ASSERT_GE(rec.events.size(), 2u);
        EXPECT_EQ(rec.events[0].kind, "command");
        EXPECT_EQ(rec.events[1].kind, "dial");
        EXPECT_EQ(rec.events[1].fields.at("number"), "5550100");
    }
}

TEST(ModemDial, SilentNeverAnswers)
{
    HayesModem m(Scenario(DialResult::Silent, 0ms, false));
    m.input(0ms, "ATDT1\r");
    EXPECT_EQ(m.nextDue(), std::nullopt);
    EXPECT_EQ(m.takeOutput(std::chrono::hours(1)), "");
    EXPECT_FALSE(m.carrier(std::chrono::hours(1)));
    EXPECT_EQ(m.state(), HayesModem::State::Dialling);
}

TEST(ModemDial, AKeyAbortsTheDial)
{
    HayesModem m(Scenario(DialResult::Connect, 5000ms, false));
    m.input(0ms, "ATDT1\r");
    m.input(1000ms, "x");
    EXPECT_EQ(m.takeOutput(1000ms), "\r\nNO CARRIER\r\n");
    EXPECT_FALSE(m.carrier(6000ms));
    EXPECT_EQ(m.takeOutput(6000ms), "");
}

TEST(ModemOnline, DataGoesToTheCentreAndRepliesKeepOrder)
{
    RecordingCentre centre;
    centre.greeting = "HELLO";
    centre.replyDelay = 300ms;
    centre.replyToEach = "ACK";
    ListRecorder rec;
    HayesModem m(Scenario(DialResult::Connect, 1000ms, false), &centre, &rec);
    m.input(0ms, "ATDT1\r");
    EXPECT_EQ(m.takeOutput(1000ms), "\r\nCONNECT 9600\r\n");
    EXPECT_EQ(centre.connects, 1);

    // Greeting due at 1.3 s; data at 1.1 s answered at 1.4 s.
    m.input(1100ms, "AT\r"); // data now, not a command
    EXPECT_EQ(m.takeOutput(1299ms), "");
    EXPECT_EQ(m.takeOutput(1300ms), "HELLO");
    EXPECT_EQ(m.nextDue(), std::optional<SimTime>(1400ms));
    EXPECT_EQ(m.takeOutput(1400ms), "ACK");
    EXPECT_EQ(centre.current, "AT\r");

    m.dropCarrier(2000ms);
    EXPECT_FALSE(m.carrier(2000ms));
    EXPECT_EQ(m.takeOutput(2000ms), "\r\nNO CARRIER\r\n");
    EXPECT_EQ(centre.calls, std::vector<std::string>{"AT\r"});
    EXPECT_EQ(rec.values(),
              (std::vector<std::string>{"command", "dial", "connect", "received", "hangup"}));
    EXPECT_EQ(rec.events.back().fields.at("reason"), "remote");

    // Command mode again.
    m.input(3000ms, "AT\r");
    EXPECT_EQ(m.takeOutput(3000ms), "\r\nOK\r\n");
}

TEST(ModemOnline, EchoCentreSendsBack)
{
    EchoCentre centre(50ms);
    HayesModem m(Scenario(DialResult::Connect, 0ms, false), &centre);
    m.input(0ms, "ATDT1\r");
    m.takeOutput(0ms);
    const std::string frame = "\x02" + std::string("01/00045/O/30") + "\x03";
    m.input(10ms, frame);
    EXPECT_EQ(m.takeOutput(60ms), frame);
}

TEST(ModemOnline, ClosingThePortHangsUpAndDropsPendingOutput)
{
    RecordingCentre centre;
    centre.replyToEach = "late";
    centre.replyDelay = 500ms;
    ListRecorder rec;
    HayesModem m(Scenario(DialResult::Connect, 0ms, true), &centre, &rec);
    m.input(0ms, "ATDT1\r");
    m.input(100ms, "data");
    m.input(200ms, "ATH"); // no CR: data to the centre, as on a real call
    m.portClosed(300ms);
    EXPECT_FALSE(m.carrier(300ms));
    EXPECT_EQ(m.takeOutput(10s), "");
    EXPECT_EQ(centre.calls, std::vector<std::string>{"dataATH"});
    EXPECT_EQ(rec.events.back().kind, "hangup");
    EXPECT_EQ(rec.events.back().fields.at("reason"), "port closed");

    // The next dial works from a clean command line.
    m.input(1s, "ATDT2\r");
    EXPECT_TRUE(m.carrier(1s));
}

TEST(ModemOnline, DropWhenNotOnlineChangesNothing)
{
    HayesModem m(Scenario());
    m.dropCarrier(0ms);
    m.portClosed(0ms);
    EXPECT_EQ(m.takeOutput(1s), "");
    EXPECT_EQ(m.state(), HayesModem::State::Command);
}

TEST(DialResultNames, RoundTrip)
{
    for (DialResult r : {DialResult::Connect, DialResult::Busy, DialResult::NoCarrier,
                         DialResult::NoDialtone, DialResult::Error, DialResult::Silent})
        EXPECT_EQ(ParseDialResult(DialResultName(r)), r);
    EXPECT_EQ(ParseDialResult("BUSY"), std::nullopt);
    EXPECT_EQ(ParseDialResult(""), std::nullopt);
}

} // namespace
} // namespace qm::sim
