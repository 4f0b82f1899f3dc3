#include "fakes.h"
#include "modem/portevents.h"

#include <gtest/gtest.h>

namespace qm::test
{
namespace
{

const std::string NoCarrierText =
    "Quillmast: There is no carrier.  Please make sure that all your cables are properly connected";
const std::string BusyText = "Quillmast: The number is busy.  Please try again later.";
const auto Err = [](const std::string &line) {
    return "Quillmast: An Input Error occurred, it was " + line + ".";
};

struct LinesRow {
    const char *name;
    std::vector<std::string> pieces;
    std::vector<std::string> boxes; // texts, in order
    bool connected = false;
    bool skipLeft = false;     // SkipToLineFeed after the last piece
    std::string lineLeft = ""; // LineText after the last piece
};

const LinesRow Rows[] = {
    {"ConnectSplitOverTwoPieces", {"CONN", "ECT 9600\r\n"}, {}, true},
    {"ConnectWaitsForTheLineEnd", {"CONN", "ECT 9600"}, {}, false, false, "CONNECT 9600"},
    {"EchoThenConnect", {"ATDT5550100\r", "\r\nCONNECT 9600\r\n"}, {}, true},
    {"CharBetweenCrAndLfIsDropped", {"\r", "x", "\n", "OK", "\r"}, {}, false, true},
    {"BusyWithBlanksIsTrimmed", {"  BUSY  \r\n"}, {BusyText}},
    {"ErrorWinsOverBusy", {"ERROR BUSY\r\n"}, {Err("ERROR BUSY")}},
    {"NoCarrierThenError",
     {"NO CARRIER ERROR\r"},
     {NoCarrierText, Err("NO CARRIER ERROR")},
     false,
     true},
    {"ConnectWinsOverEverything", {"CONNECT ERROR BUSY\r"}, {}, true, true},
    {"LfAloneEndsNothing", {"BUSY\n\nOK"}, {}, false, false, "BUSYOK"},
    {"CaseSensitive", {"busy\r\nconnect\r\nError\r\n"}, {}},
    {"BinaryBytesAreHarmless", {std::string("\0\xff\x02OK", 5), "\r\n"}, {}},
};

TEST(ModemLines, PiecesToAnswers)
{
    for (const LinesRow &row : Rows) {
        SCOPED_TRACE(row.name);
        TestGateway t;
        for (const std::string &piece : row.pieces)
            CollectModemLines(t.gw, piece);

        std::vector<std::string> boxes;
        for (const Notice &n : t.notifier.notices)
            boxes.push_back(n.title + ": " + n.text);
        EXPECT_EQ(boxes, row.boxes);
        EXPECT_EQ(t.gw.state.Connected, row.connected);
        EXPECT_EQ(t.status.text(), row.connected ? "Connected" : "Status");
        EXPECT_EQ(t.gw.state.modemLine.LineText, row.lineLeft);
        EXPECT_EQ(t.gw.state.modemLine.SkipToLineFeed, row.skipLeft);
    }
}

// A box is modal: while it is open the event loop runs and more text can
// arrive. That text belongs to the next line and must survive the box.
class ReenteringNotifier final : public Notifier
{
public:
    std::function<void()> duringBox;
    std::vector<std::string> texts;
    void message(const std::string &, const std::string &text, NoticeIcon) override
    {
        texts.push_back(text);
        if (auto f = std::exchange(duringBox, nullptr))
            f();
    }
    bool askYesNo(const std::string &, const std::string &) override { return false; }
};

TEST(ModemLines, TextArrivingWhileABoxIsOpenIsKept)
{
    TestGateway t;
    ReenteringNotifier notifier;
    Gateway gw{GatewayState{}, t.port, t.world, t.world, notifier, t.status, t.fields, t.gw.timers};
    gw.state.AppPath = t.gw.state.AppPath;
    notifier.duringBox = [&gw] { CollectModemLines(gw, "\nCONN"); };

    CollectModemLines(gw, "NO CARRIER\r");
    EXPECT_EQ(gw.state.modemLine.LineText, "CONN");
    CollectModemLines(gw, "ECT 9600\r\n");
    EXPECT_TRUE(gw.state.Connected);
    EXPECT_EQ("Quillmast: " + notifier.texts.at(0), NoCarrierText);
}

} // namespace
} // namespace qm::test
