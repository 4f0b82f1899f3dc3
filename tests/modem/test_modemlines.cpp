// What the gateway does with modem answers, port events, and dialling.

#include "modem/dial.h"
#include "modem/portevents.h"
#include "platform/comport.h"
#include "sendrig.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

// boxes: texts, in order; duringBox: arrives while the first box is open.
// clang-format off
struct LinesRow { const char *name; std::vector<std::string> pieces, boxes; bool connected = false;
    const char *duringBox = ""; };
// clang-format on

const LinesRow Rows[] = {
    {"EchoThenConnectInPieces", {"ATDT5550100\r", "\r\nCONN", "ECT 9600\r\n"}, {}, true},
    {"BusyWithBlanksIsTrimmed", {"  BUSY  \r\n"}, {BusyText}},
    {"ErrorWinsOverBusy", {"ERROR BUSY\r\n"}, {Err("ERROR BUSY")}},
    {"NoCarrierThenError", {"NO CARRIER ERROR\r\n"}, {NoCarrierText, Err("NO CARRIER ERROR")}},
    {"ConnectWinsOverEverything", {"CONNECT ERROR BUSY\r"}, {}, true},
    {"CaseSensitive", {"busy\r\nconnect\r\nError\r\n"}, {}},
    // A box is modal: while it is open the event loop runs and more text can arrive. That text
    // belongs to the next line and must survive the box.
    {"TextArrivingWhileABoxIsOpenIsKept",
     {"NO CARRIER\r", "ECT 9600\r\n"},
     {NoCarrierText},
     true,
     "\nCONN"},
};

TEST(ModemLines, PiecesToAnswers)
{
    for (const LinesRow &row : Rows) {
        SCOPED_TRACE(row.name);
        TestGateway t;
        t.notifier.duringBox = [&t, &row] { CollectModemLines(t.gw, row.duringBox); };
        for (const std::string &piece : row.pieces)
            CollectModemLines(t.gw, piece);
        std::vector<std::string> boxes;
        for (const Notice &n : t.notifier.notices)
            boxes.push_back(n.title + ": " + n.text);
        EXPECT_EQ(boxes, row.boxes);
        EXPECT_EQ(t.gw.state.Connected, row.connected);
        EXPECT_EQ(t.status.text(), row.connected ? "Connected" : "Status");
    }
}

const auto Entry = [](const std::string &m) { return "06/12/2026 12:00:00: " + m + "/False\r\n"; };

TEST(PortEvents, CodesOtherThanDataLogOneEntryAndNothingElse)
{
    using enum PortEvent;
    // logged: the entry's text.
    // clang-format off
    const struct { const char *name; PortEvent event; const char *logged; } rows[] = {
        {"DSR", DsrChanged, "comEvDSR"}, {"break", Break, "Break"}, {"framing", Framing, "Framing"},
        {"overrun", Overrun, "Overrun"}, {"receive overflow", RxOverflow, "OverFlow"},
        {"parity", Parity, "Parity"}, {"transmit full", TxFull, "TX Full"},
        {"device settings", DeviceSettings, "DBC"}, {"CTS", CtsChanged, ""}, {"ring", Ring, ""},
        {"transmit drained", TransmitDrained, ""}, {"code 0", PortEvent(0), ""},
        {"negative code", PortEvent(-3), ""}};
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        TestGateway t;
        t.gw.state.ReceiveBuffer = "earlier";
        t.port.rx = "waiting";
        t.port.carrier = true;
        t.port.pendingOut = 3; // stale count of a closed port: a drain event must not wait
        OnPortEvent(t.gw, row.event);
        EXPECT_EQ(t.readFile("Master.Log"), Entry(row.logged));
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
    t.port.setEventHandler([&t](PortEvent e) { OnPortEvent(t.gw, e); });
    t.port.open();
    t.port.pendingOut = 12;
    t.world.after(100ms, [&] { t.port.pendingOut = 4; });
    t.world.after(150ms, [&] {
        t.port.rx += "OK\r\n";
        t.port.raise(PortEvent::DataReceived);
    });
    t.world.after(200ms, [&] { t.port.pendingOut = 0; });
    t.world.after(5000ms, [] {}); // must not be reached

    t.port.raise(PortEvent::TransmitDrained);
    EXPECT_EQ(t.world.elapsed(), 200ms);
    // The nested data event logs before the drain event's own entry.
    EXPECT_EQ(t.readFile("Master.Log"), Entry("Recieved:OK\r\n") + Entry("") + Entry(""));
}

using sim::DialResult;

const std::string ConnectText = "\r\nCONNECT 9600\r\n";

// The answer wait pumps; the carrier wait after it blocks, so nothing is
// served during its pauses.
TEST(Dial, AnswerWaitThenBlockingCarrierWait)
{
    using enum DialResult;
    const std::string err = "Err-0002:An error occured while dialing number";
    // received: ReceiveBuffer after the dial; master: Master.Log texts.
    // clang-format off
    const struct { const char *name; DialResult result; std::chrono::milliseconds answerAfter;
        bool echo; std::string received; std::vector<std::string> master; std::size_t pauses;
        std::chrono::seconds elapsed; bool connected; int beeps; } rows[] = {
        {"CONNECT at once", Connect, 0ms, false, ConnectText, {"Recieved:" + ConnectText, "", ""},
         0, 0s, true, 0},
        // The echo ends the answer wait; the carrier wait then sees CONNECT's carrier.
        {"echo, then CONNECT", Connect, 4500ms, true, "ATDT0 123 456\r",
         {"Recieved:ATDT0 123 456\r", ""}, 5, 5s, true, 0},
        {"ERROR", Error, 2000ms, false, "\r\nERROR\r\n", {"Recieved:\r\nERROR\r\n", "", err},
         30, 32s, false, 1},
        {"no answer", Silent, 0ms, false, "", {"Timed out. No response from Modem"},
         30, 90s, false, 0},
    };
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        RigOptions o;
        o.modem.result = row.result;
        o.modem.connectDelay = row.answerAfter;
        o.modem.echo = row.echo;
        SendRig r(o);
        r.port.open();
        r.port.rx = "stale"; // cleared, never read
        // Nothing of an earlier call counts: its flags, its answers, the line being read.
        r.gw.state.Connected = r.gw.state.TapLoggedIn = true;
        r.gw.state.ReceiveBuffer = "\r\nERROR\r\nID=\x06";
        r.gw.state.modemLine.LineText = "NO CARR";
        DialSMSCenter(r.gw, "  0 123 456   ");
        EXPECT_EQ(r.gw.state.Connected, row.connected);
        EXPECT_FALSE(r.gw.state.TapLoggedIn);
        ASSERT_GE(r.port.calls.size(), 5u);
        EXPECT_EQ(std::vector<std::string>(r.port.calls.begin(), r.port.calls.begin() + 5),
                  (std::vector<std::string>{"open", "close", "open", "clearInput", "write"}));
        EXPECT_EQ(r.port.written, "ATDT0 123 456\r");
        EXPECT_EQ(r.gw.state.ReceiveBuffer, row.received);
        EXPECT_EQ(r.master(), row.master);
        EXPECT_EQ(r.t.world.pauses.size(), row.pauses);
        EXPECT_EQ(r.t.world.beeps, row.beeps);
        EXPECT_EQ(r.t.world.elapsed(), row.elapsed);
    }
}

TEST(Dial, PortFailureGivesExactlyOneErr0003AndNoWait)
{
    for (const char *op : {"open", "close", "clearInput", "write"}) {
        SCOPED_TRACE(op);
        TestGateway t;
        ConnectConsoleTimers(t.gw);
        if (op == std::string("close"))
            t.port.open();
        t.port.failAlways(op, Failure{2, "No such file or directory"});
        DialSMSCenter(t.gw, "5550100");
        EXPECT_EQ(t.readFile("Master.Log"),
                  Entry("Err-0003:Dialing Error\rError:2-No such file or directory"));
        EXPECT_EQ(t.port.written, "");
        EXPECT_EQ(t.world.elapsed(), 0ms);
        EXPECT_FALSE(t.sec10.isEnabled());
    }
}

// sec10 is left running after an answered dial. A later dial restarts it, so
// its answer wait lasts a full interval whatever the timer's old phase.
TEST(Dial, SecondDialGetsAFullAnswerWait)
{
    RigOptions o;
    o.modem.connectDelay = 20s;
    SendRig r(o);
    DialSMSCenter(r.gw, "5550100"); // sec10 enabled at 0 s, answered at 20 s
    r.port.close();
    r.gw.state.Connected = false;
    r.gw.state.ReceiveBuffer.clear();
    r.t.world.after(30s, [] {});
    r.t.world.pump(); // idle until 50 s; the old phase would tick at 60 s
    DialSMSCenter(r.gw, "5550100");
    EXPECT_TRUE(r.gw.state.Connected);
    EXPECT_EQ(r.logged("Timed out"), 0); // the old phase ends the wait at 60 s
    EXPECT_EQ(r.t.world.elapsed(), 70s);
}

// A COMn file in the program's folder names the port, even as a link whose
// device is gone (opening it then fails plainly instead of reaching another
// port); without one, the system's own third port. On Windows COMn is the
// device in every folder, so it is always the system's port.
TEST(ComPortDevice, AFileInTheProgramsFolderWinsEvenADanglingLink)
{
    enum class Folder { Empty, File, DanglingLink };
    // clang-format off
    const struct { const char *name; Folder folder; bool local; } rows[] = {
        {"nothing there", Folder::Empty, false},
        {"a file", Folder::File, true},
        {"a dangling link", Folder::DanglingLink, true}};
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        TestGateway t;
        const std::string folder = t.gw.state.AppPath;
        if (PathSeparator == '\\') { // creating the file would open the port
            EXPECT_EQ(ComPortDevice(folder, 3), "COM3");
            continue;
        }
        if (row.folder == Folder::File)
            std::ofstream(t.dir / "COM3") << "";
        if (row.folder == Folder::DanglingLink)
            std::filesystem::create_symlink(t.dir / "gone", t.dir / "COM3");
        EXPECT_EQ(ComPortDevice(folder, 3), row.local ? folder + "COM3" : "/dev/ttyS2");
    }
}

} // namespace
} // namespace qm::test
