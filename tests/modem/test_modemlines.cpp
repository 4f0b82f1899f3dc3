#include "fakes.h"
#include "modem/portevents.h"

#include <gtest/gtest.h>

namespace qm::test
{
namespace
{

using namespace std::chrono_literals;

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
    {"EchoThenConnectInPieces", {"ATDT5550100\r", "\r\nCONN", "ECT 9600\r\n"}, {}, true},
    {"CharBetweenCrAndLfIsDropped", {"\r", "x", "\n", "OK", "\r"}, {}, false, true},
    {"BusyWithBlanksIsTrimmed", {"  BUSY  \r\n"}, {BusyText}},
    {"ErrorWinsOverBusy", {"ERROR BUSY\r\n"}, {Err("ERROR BUSY")}},
    {"NoCarrierThenError", {"NO CARRIER ERROR\r\n"}, {NoCarrierText, Err("NO CARRIER ERROR")}},
    {"ConnectWinsOverEverything", {"CONNECT ERROR BUSY\r"}, {}, true, true},
    {"LfAloneEndsNothingAndALineWaitsForItsEnd", {"BUSY\n", "\nOK"}, {}, false, false, "BUSYOK"},
    {"CaseSensitive", {"busy\r\nconnect\r\nError\r\n"}, {}},
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
struct ReenteringNotifier final : Notifier {
    std::function<void()> duringBox;
    void message(const std::string &, const std::string &, NoticeIcon) override
    {
        std::exchange(duringBox, [] {})();
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
    CollectModemLines(gw, "ECT 9600\r\n");
    EXPECT_TRUE(gw.state.Connected);
}

const auto Entry = [](const std::string &m) { return "06/12/2026 12:00:00: " + m + "/False\r\n"; };

TEST(PortEvents, CodesOtherThanDataLogOneEntryAndNothingElse)
{
    std::vector<std::pair<int, std::string>> rows = {
        {PortEvent::DsrChanged, "comEvDSR"}, {PortEvent::Break, "Break"},
        {PortEvent::Framing, "Framing"},     {PortEvent::Overrun, "Overrun"},
        {PortEvent::RxOverflow, "OverFlow"}, {PortEvent::Parity, "Parity"},
        {PortEvent::TxFull, "TX Full"},      {PortEvent::DeviceSettings, "DBC"}};
    for (int code : {PortEvent::CtsChanged, PortEvent::Ring, PortEvent::TransmitDrained, 0, -3})
        rows.emplace_back(code, "");
    for (const auto &[code, text] : rows) {
        SCOPED_TRACE(code);
        TestGateway t;
        t.gw.state.ReceiveBuffer = "earlier";
        t.port.rx = "waiting";
        t.port.carrier = true;
        t.port.pendingOut = 3; // stale count of a closed port: a drain event must not wait
        OnPortEvent(t.gw, code);
        EXPECT_EQ(t.readFile("Master.Log"), Entry(text));
        EXPECT_EQ(t.gw.state.ReceiveBuffer, "earlier");
        EXPECT_EQ(t.port.rx, "waiting"); // not read
        EXPECT_FALSE(t.gw.state.Connected);
        EXPECT_TRUE(t.notifier.notices.empty());
        EXPECT_EQ(t.world.pumps, 0);
    }
}

TEST(PortEvents, TransmitDrainedPumpsUntilQueueEmptyServingNestedEvents)
{
    TestGateway t;
    t.port.setEventHandler([&t](int code) { OnPortEvent(t.gw, code); });
    t.port.open();
    t.port.pendingOut = 12;
    t.world.after(100ms, [&] { t.port.pendingOut = 4; });
    t.port.receiveAfter(150ms, "OK\r\n");
    t.world.after(200ms, [&] { t.port.pendingOut = 0; });
    t.world.after(5000ms, [] {}); // must not be reached

    t.port.raise(PortEvent::TransmitDrained);
    EXPECT_EQ(t.world.elapsed(), 200ms);
    // The nested data event logs before the drain event's own entry.
    EXPECT_EQ(t.readFile("Master.Log"), Entry("Recieved:OK\r\n") + Entry("") + Entry(""));
}

} // namespace
} // namespace qm::test
