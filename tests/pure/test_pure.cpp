// The pure library's rules, table by table: what goes over the line (the
// modem's answers, control characters shown by name, UCP frames, TAP blocks)
// and the text the gateway reads and writes (the settings file, the serial
// line settings, the fields of an outbox message file, the recipient).

#include "pure/answercarrier.h"
#include "pure/configfile.h"
#include "pure/controlchars.h"
#include "pure/ia5.h"
#include "pure/linesettings.h"
#include "pure/modemanswers.h"
#include "pure/outboxfields.h"
#include "pure/recipientfilter.h"
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

// Pieces joined into a line and blanks trimmed: tests/modem's rows catch those through the
// gateway (a CONNECT in pieces connects, a padded BUSY gives its box).
TEST(ModemAnswers, PiecesToLines)
{
    // left: LineText after the last piece; skip: SkipToLineFeed after it.
    // clang-format off
    const struct { const char *name; std::vector<std::string> pieces, lines; std::string left;
        bool skip; } rows[] = {
        {"what lies between CR and LF is dropped", {"\r", "x", "\n", "OK", "\r"}, {"", "OK"}, "",
         true},
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

// A port without modem lines: each carrier change counts once, NO CARRIER
// wins on its line, and a line split over pieces waits for its CR.
TEST(ModemAnswers, CarrierOfAPortWithoutModemLines)
{
    // clang-format off
    const struct { const char *name; std::vector<std::string> pieces; std::vector<int> changes;
        bool up; } rows[] = {
        {"CONNECT, then again", {"\r\nCONNECT 9600\r\n", "CONNECT\r"}, {1, 0}, true},
        {"up and down in one piece", {"CONNECT\r\nNO CARRIER\r"}, {2}, false},
        {"NO CARRIER wins its line", {"CONNECT NO CARRIER\r"}, {0}, false},
        {"split line waits for CR", {"CONN", "ECT\r", "OK\r"}, {0, 1, 0}, true},
    };
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        AnswerCarrier carrier;
        std::vector<int> changes;
        for (const std::string &piece : row.pieces)
            changes.push_back(carrier.feed(piece));
        EXPECT_EQ(changes, row.changes);
        EXPECT_EQ(carrier.up(), row.up);
        EXPECT_EQ(carrier.reset(), row.up);
        EXPECT_FALSE(carrier.up());
    }
}

TEST(ShowControlChars, TagsTheElevenAndNothingElse)
{
    EXPECT_EQ(ShowControlChars("\x02\x03\r\n\x06\x15\x1b\x1e\x04\x13\x11\x05\x00\xe9<STX>"s),
              "<STX><ETX><CR><LF><ACK><NAK><ESC><RS><EOT><XOFF><XON>\x05\x00\xe9<STX>"s);
}

TEST(BuildUCPFrame, ByteExact)
{
    // LEN and checksum worked out by hand from the rules: LEN counts the characters between STX
    // and ETX; the checksum is the sum of those bytes up to the last "/", low 8 bits in hex
    // (1664 = 0x680 gives "80" for the first row).
    // clang-format off
    const struct { const char *name, *ot, *recipient, *text, *auth, *legit, *inner; } rows[] = {
        {"type 01", "01", "0123456", "abc", "1234", "99", "01/00035/O/01/0123456///3/616263/80"},
        {"type 03 with both codes", "03", "0123456", "abc", "1234", "99",
         "01/00051/O/03/0123456,99//1234/0//////////616263/8C"},
        {"type 30", "30", "0123456", "abc", "", "", "01/00040/O/30/0123456///1//////616263/67"},
        // The exchange quoted in public descriptions of the EMI-UCP protocol.
        {"type 30, published example", "30", "66677789", "hello", "", "",
         "01/00045/O/30/66677789///1//////68656C6C6F/CE"},
        {"type 51", "51", "0123456", "abc", "", "",
         "01/00063/O/51/0123456///////////////////3/616263/////////////AA"},
    };
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(BuildUCPFrame(row.ot, row.recipient, row.text, row.auth, row.legit),
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

// clang-format off
const std::string FullFile = "\"AppPath=/opt/quillmast/\"\r\n\"Port=2\"\r\n\"Setting=E 7 1\"\r\n"
                             "\"BaudRate=19200\"\r\n\"SMSCenterNumber=0612 345\"\r\n"
                             "\"Protocol=TAP\"\r\n"
                             "\"OpType=51\"\r\n\"TAPStoredText=stored, with comma\"\r\n"
                             "\"TAPDeliveredText=delivered\"\r\n\"AuthenticationCode=secret\"\r\n"
                             "\"LegitimizationCode=legit\"\r\n\"PollingInterval=1000\"\r\n";
// clang-format on

// The format has no escape for a double quote, so the writer must drop it; Setting is shown with
// commas.
const ConsoleSettings Written{"/opt/quillmast/", 2,        "E,7,1", "19200",
                              "0612 345",        "TAP",    "51",    "stored, with \"comma\"",
                              "delivered",       "secret", "legit", 1000};

// The rows after the first name only what differs from the defaults.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
TEST(ConfigFile, WritesEveryKeyAndReadsItBackAndOddValues)
{
    EXPECT_EQ(FormatConfig(Written), FullFile);
    ConsoleSettings read = Written;
    read.TAPStoredText = "stored, with comma";
    // clang-format off
    const struct { const char *name; std::string content; ConsoleSettings expected; } rows[] = {
        {"the written file", FullFile, read},
        {"port 0", "\"Port=0\"\r\n", {.Port = 0}},
        {"a fraction", "\"Port=-0.5\"\r\n", {.Port = -1}},
        {"no hexadecimal", "\"Port=0x10\"\r\n", {}},
        {"an exponent", "\"PollingInterval=1e3\"\r\n", {.PollingInterval = 1000}},
        {"a quote inside an unquoted entry", "Protocol=U\"CP\r\n", {.Protocol = "UCP"}},
        // Unquoted entries end at a comma; blanks around them are dropped.
        {"unquoted entries", "  Protocol=UCP , OpType=03\r\n", {.Protocol = "UCP", .OpType = "03"}},
        {"LF only, text after a closing quote", "\"OpType=30\"junk\n\"Protocol=UCP\"\n",
         {.Protocol = "UCP", .OpType = "30"}},
        {"a quote that never closes runs to the end", "\"LegitimizationCode=abc\r\n",
         {.LegitimizationCode = "abc\r\n"}},
        {"empty", "", {}},
    };
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ConsoleSettings settings;
        ParseConfig(row.content, settings);
        EXPECT_EQ(settings, row.expected);
    }
}
#pragma GCC diagnostic pop

TEST(LineSettings, AcceptsCompleteTextsAndRefusesTheRest)
{
    // clang-format off
    const struct { const char *name, *text; bool accepted; } rows[] = {
        {"complete", "9600,N,8,1", true}, {"lower-case parity", "14400,n,8,2", true},
        {"no speed", ",N,8,1", false}, {"unknown speed", "12345,N,8,1", false},
        {"unknown parity", "9600,X,8,1", false}, {"nine data bits", "9600,N,9,1", false},
        {"no stop bits", "9600,N,8", false}, {"leading blank", " 9600,N,8,1", false},
        {"empty", "", false}};
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        LineSettings settings;
        EXPECT_EQ(!ParseLineSettings(row.text, settings), row.accepted);
    }
}

TEST(ReadOutboxFields, FieldSyntax)
{
    // clang-format off
    const struct { const char *name; std::string content, recipient, message;
        bool recipientQuoted, messagePresent; } rows[] = {
        {"two lines", "\"0612\"\r\n\"Disk full\"\r\n", "0612", "Disk full", true, true},
        {"unquoted, cut at a comma", "0612,Disk 95%, full\r\n", "0612", "Disk 95%", false, true},
        {"blanks around fields", " \t\"0612\" , \"abc\"\r\n", "0612", "abc", true, true},
        {"CR LF inside quotes", "\"06\r\n12\",\"a\r\nb\"\r\n", "06\r\n12", "a\r\nb", true, true},
        {"lone LF line end", "0612\nhello", "0612", "hello", false, true},
        {"one field only", "\"0612\"\r\n", "0612", "", true, false},
        {"rest ignored", "\"a\",\"b\",\"c\"\r\nmore,lines\r\n", "a", "b", true, true},
        {"unterminated quote runs to the end", "\"0612,abc", "0612,abc", "", true, false},
        {"binary", "\x00\xff\x01,\xfe\"q\"\x00"s, "\x00\xff\x01"s, "\xfe\"q\"\x00"s, false, true},
        {"a leading byte-order mark goes, others stay", "\xEF\xBB\xBF\"0612\",\xEF\xBB\xBF", "0612",
         "\xEF\xBB\xBF", true, true},
    };
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const OutboxFields fields = ReadOutboxFields(row.content);
        EXPECT_EQ(fields.recipient.text, row.recipient);
        EXPECT_EQ(fields.message.text, row.message);
        EXPECT_EQ(fields.recipient.quoted, row.recipientQuoted);
        EXPECT_EQ(fields.message.present, row.messagePresent);
    }
}

// A quoted field is always kept as written.
TEST(FieldValue, TypedRuleForUnquotedFields)
{
    // clang-format off
    const struct { const char *name, *raw, *typed; } rows[] = {
        {"leading zero", "0612345678", "612345678"}, {"plus and zeros", "+0049", "49"},
        {"minus and zeros", "-007", "-7"}, {"minus zero", "-0", "0"},
        {"decimal", "012.50", "12.50"}, {"bare point", "12.", "12"},
        {"trailing blank", "0612 ", "612"},
        {"thirty digits", "123456789012345678901234567890", "123456789012345678901234567890"},
        // Not numbers: stay text as written.
        {"blank inside", "+49 123", "+49 123"}, {"exponent", "1e3", "1e3"},
        {"no digit before the point", ".5", ".5"}, {"letters", "12abc", "12abc"},
        {"sign only", "+", "+"}, {"empty", "", ""},
    };
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FieldValue(OutboxField{row.raw, false, true}, FieldTyping::Typed), row.typed);
        EXPECT_EQ(FieldValue(OutboxField{row.raw, true, true}, FieldTyping::Typed), row.raw);
    }
}

TEST(PrepareRecipient, RemovesBlanksAndCrLfPairsOnly)
{
    // Blanks go first, then the pair; only spaces are blanks.
    // clang-format off
    const struct { const char *name, *in, *out; } rows[] = {
        {"spaces", " 0612 345 678 ", "0612345678"}, {"CR LF pairs", "01\r\n23\r\n45", "012345"},
        {"lone CR and LF stay", "01\r23\n", "01\r23\n"}, {"LF CR stays", "01\n\r23", "01\n\r23"},
        {"a pair once the blank is gone", "\r \n", ""}, {"a tab stays", "01\t23", "01\t23"}};
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(PrepareRecipient(row.in), row.out);
    }
}

} // namespace
} // namespace qm
