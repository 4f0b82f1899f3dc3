// The modem-answer reader alone (pure): lines from received pieces, and the
// result codes a line holds, with lines that must not match.

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

} // namespace
} // namespace qm
