// What goes over the line, pure: the modem's answers read from received
// pieces, control characters shown by name, UCP frames and TAP blocks.

#include "pure/controlchars.h"
#include "pure/ia5.h"
#include "pure/modemanswers.h"
#include "pure/tapblock.h"
#include "pure/ucpframe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qm
{
namespace
{

using namespace std::string_literals;

TEST(ModemAnswers, PiecesToLines)
{
    // left: LineText after the last piece; skip: SkipToLineFeed after it.
    // clang-format off
    const struct { const char *name; std::vector<std::string> pieces, lines; std::string left;
        bool skip; } rows[] = {
        {"echo then CONNECT in pieces", {"ATDT5550100\r", "\r\nCONN", "ECT 9600\r\n"},
         {"ATDT5550100", "", "CONNECT 9600"}, "", false},
        {"what lies between CR and LF is dropped", {"\r", "x", "\n", "OK", "\r"}, {"", "OK"}, "",
         true},
        {"trimmed of spaces", {"  BUSY  \r\n"}, {"BUSY"}, "", false},
        {"LF alone ends nothing", {"BUSY\n", "\nOK"}, {}, "BUSYOK", false},
    };
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
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
    // The line is the row's name; case and spacing count.
    // clang-format off
    const struct { const char *line; bool connect, noCarrier, error, busy; } rows[] = {
        {"CONNECT 9600", true, false, false, false}, {"NO CARRIER", false, true, false, false},
        {"ERROR", false, false, true, false},        {"BUSY", false, false, false, true},
        {"ERROR BUSY", false, false, true, true},    {"OK", false, false, false, false},
        {"connect", false, false, false, false},     {"NO  CARRIER", false, false, false, false},
        {"ERR", false, false, false, false},         {"", false, false, false, false},
    };
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE("line \""s + row.line + "\"");
        const ModemAnswer answer = ClassifyModemLine(row.line);
        EXPECT_EQ((std::vector<bool>{answer.connect, answer.noCarrier, answer.error, answer.busy}),
                  (std::vector<bool>{row.connect, row.noCarrier, row.error, row.busy}));
    }
    EXPECT_TRUE(DialAnswerIsError("\r\nERR\r\n"));
    EXPECT_FALSE(DialAnswerIsError("\r\nNO DIALTONE\r\nerror"));
}

TEST(ShowControlChars, TagsTheElevenAndNothingElse)
{
    EXPECT_EQ(ShowControlChars("\x02\x03\r\n\x06\x15\x1b\x1e\x04\x13\x11\x05\x00\xe9<STX>"s),
              "<STX><ETX><CR><LF><ACK><NAK><ESC><RS><EOT><XOFF><XON>\x05\x00\xe9<STX>"s);
}

TEST(BuildUCPFrame, ByteExact)
{
    // Recipient "0123456", text "abc". LEN and checksum worked out by hand from the rules: LEN
    // counts the characters between STX and ETX; the checksum is the sum of those bytes up to
    // the last "/", low 8 bits in hex (1664 = 0x680 gives "80" for the first row).
    // clang-format off
    const struct { const char *name, *ot, *auth, *legit, *inner; } rows[] = {
        {"type 01", "01", "1234", "99", "01/00035/O/01/0123456///3/616263/80"},
        {"type 03 with both codes", "03", "1234", "99",
         "01/00051/O/03/0123456,99//1234/0//////////616263/8C"},
        {"type 30", "30", "", "", "01/00040/O/30/0123456///1//////616263/67"},
        {"type 51", "51", "", "",
         "01/00063/O/51/0123456///////////////////3/616263/////////////AA"},
    };
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(BuildUCPFrame(row.ot, "0123456", "abc", row.auth, row.legit),
                  "\x02"s + row.inner + "\x03");
    }
    // Nothing is escaped: the "/" shifts every field after it (LEN and sum worked out by hand).
    EXPECT_EQ(BuildUCPFrame("01", "01/23", "", "", ""), "\00201/00027/O/01/01/23///3//D9\x03"s);
    for (const char *ot : {"", "02", "52", "01 "})
        EXPECT_FALSE(BuildUCPFrame(ot, "0123456", "abc", "", "").has_value()) << ot;
    EXPECT_EQ(IA5Encoding("\x00\x0f\xe9\xff"s), "000FE9FF");
}

TEST(BuildUCPFrame, LengthFieldAroundItsBreakpoints)
{
    // Type 01: LEN = 22 + recipient + 2 * text length, always five digits.
    // clang-format off
    const struct { const char *name, *recipient; std::size_t textLength; std::string len; }
        rows[] = {{"two digits", "0123456", 35, "00099"},
                {"three digits", "01234567", 35, "00100"},
                {"four digits", "01234567", 485, "01000"},
                {"the largest", "0123456", 49985, "99999"}};
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const std::string frame =
            *BuildUCPFrame("01", row.recipient, std::string(row.textLength, 'x'), "", "");
        EXPECT_EQ(frame.substr(4, 6), row.len + "/");
        EXPECT_EQ(frame.size() - 2, std::stoul(row.len));
    }
}

TEST(BuildTAPBlock, ByteExactWithItsChecksum)
{
    // Checksums worked out by hand from the rule: the sum of the bytes from STX through ETX,
    // its low twelve bits as three characters 0x30 + four bits each.
    // clang-format off
    const struct { const char *name; std::string recipient, text, block; } rows[] = {
        {"475 = 0x1DB", "123", "abc", "\002123\rabc\r\0031=;\r"},
        {"590 = 0x24E: bytes count unsigned", "1", "\xff\xff", "\0021\r\xff\xff\r\00324>\r"},
        {"5180 = 0x143C: only the low twelve bits", "1", std::string(20, '\xff'),
         "\0021\r" + std::string(20, '\xff') + "\r\00343<\r"},
        {"294 = 0x126: nothing is escaped", "7", "a\rb", "\0027\ra\rb\r\003126\r"},
    };
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(BuildTAPBlock(row.recipient, row.text), row.block);
    }
}

} // namespace
} // namespace qm
