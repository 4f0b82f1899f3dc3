// The modem-answer reader alone (pure): lines from received pieces, the
// result codes a line holds, with lines that must not match, and the carrier
// they give a port without modem lines.

#include "pure/answercarrier.h"
#include "pure/modemanswers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qm
{
namespace
{

TEST(ModemAnswers, PiecesToLines)
{
    const struct {
        std::vector<std::string> pieces, lines;
        std::string left; // LineText after the last piece
        bool skip;        // SkipToLineFeed after it
    } rows[] = {
        {{"ATDT5550100\r", "\r\nCONN", "ECT 9600\r\n"},
         {"ATDT5550100", "", "CONNECT 9600"},
         "",
         false},
        {{"\r", "x", "\n", "OK", "\r"}, {"", "OK"}, "", true}, // x between CR and LF is dropped
        {{"  BUSY  \r\n"}, {"BUSY"}, "", false},               // trimmed of spaces
        {{"BUSY\n", "\nOK"}, {}, "BUSYOK", false},             // LF alone ends nothing
    };
    for (const auto &row : rows) {
        ModemLine ml;
        std::vector<std::string> lines;
        for (const std::string &piece : row.pieces)
            CollectModemLines(ml, piece, [&](std::string line) { lines.push_back(line); });
        EXPECT_EQ(lines, row.lines);
        EXPECT_EQ(ml.LineText, row.left);
        EXPECT_EQ(ml.SkipToLineFeed, row.skip);
    }
    ModemLine capped;
    CollectModemLines(
        capped, std::string(300, 'x'), [](std::string) {}, 256);
    EXPECT_EQ(capped.LineText.size(), 256u);
}

TEST(ModemAnswers, ResultCodesOfALine)
{
    const struct {
        const char *line;
        bool connect, noCarrier, error, busy;
    } rows[] = {
        {"CONNECT 9600", true, false, false, false}, {"NO CARRIER", false, true, false, false},
        {"ERROR", false, false, true, false},        {"BUSY", false, false, false, true},
        {"ERROR BUSY", false, false, true, true},    {"OK", false, false, false, false},
        {"connect", false, false, false, false},     {"NO  CARRIER", false, false, false, false},
        {"ERR", false, false, false, false},         {"", false, false, false, false},
    };
    for (const auto &r : rows) {
        const ModemAnswer a = ClassifyModemLine(r.line);
        EXPECT_EQ((std::vector<bool>{a.connect, a.noCarrier, a.error, a.busy}),
                  (std::vector<bool>{r.connect, r.noCarrier, r.error, r.busy}))
            << r.line;
    }
    EXPECT_TRUE(DialAnswerIsError("\r\nERR\r\n"));
    EXPECT_FALSE(DialAnswerIsError("\r\nNO DIALTONE\r\nerror"));
}

// Each change counts once, NO CARRIER wins on its line, and a line split over
// pieces waits for its CR.
TEST(ModemAnswers, CarrierOfAPortWithoutModemLines)
{
    const struct {
        std::vector<std::string> pieces;
        std::vector<int> changes;
        bool up;
    } rows[] = {
        {{"\r\nCONNECT 9600\r\n", "CONNECT\r"}, {1, 0}, true},
        {{"CONNECT\r\nNO CARRIER\r"}, {2}, false},
        {{"CONNECT NO CARRIER\r"}, {0}, false},
        {{"CONN", "ECT\r", "OK\r"}, {0, 1, 0}, true},
    };
    for (const auto &row : rows) {
        AnswerCarrier carrier;
        std::vector<int> changes;
        for (const std::string &piece : row.pieces)
            changes.push_back(carrier.feed(piece));
        EXPECT_EQ(changes, row.changes) << row.pieces[0];
        EXPECT_EQ(carrier.up(), row.up) << row.pieces[0];
        EXPECT_EQ(carrier.reset(), row.up);
        EXPECT_FALSE(carrier.up());
    }
}

} // namespace
} // namespace qm
