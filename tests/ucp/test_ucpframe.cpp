#include "fakes.h"
#include "ucp/builducpframe.h"
#include "ucp/ia5.h"
#include "ucp/ucpframe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace qm
{
namespace
{

using namespace std::string_literals;

std::string Framed(const std::string &inner)
{
    return "\x02" + inner + "\x03";
}

TEST(BuildUCPFrame, ByteExact)
{
    // Recipient "0123456", text "abc", both codes empty: the worked example of the
    // four operation types (sums checked by hand: 1664 = 0x680 for "01").
    const std::string ex01 = Framed("01/00035/O/01/0123456///3/616263/80");
    const std::string ex30 = Framed("01/00040/O/30/0123456///1//////616263/67");
    const struct {
        const char *name, *ot, *recipient, *text, *auth, *legit;
        std::string frame;
    } rows[] = {
        {"01", "01", "0123456", "abc", "", "", ex01},
        {"03", "03", "0123456", "abc", "", "",
         Framed("01/00044/O/03/0123456///0//////////616263/26")},
        {"30", "30", "0123456", "abc", "", "", ex30},
        {"51", "51", "0123456", "abc", "", "",
         Framed("01/00063/O/51/0123456///////////////////3/616263/////////////AA")},
        {"empty text", "01", "0123456", "", "", "", Framed("01/00029/O/01/0123456///3//4B")},
        {"03 with legitimisation code", "03", "0123456", "abc", "1234", "99",
         Framed("01/00051/O/03/0123456,99//1234/0//////////616263/8C")},
        {"01 ignores both codes", "01", "0123456", "abc", "1234", "99", ex01},
        {"30 ignores both codes", "30", "0123456", "abc", "1234", "99", ex30},
        // Nothing is escaped: the "/" shifts every field after it.
        {"slash in recipient", "01", "01/23", "abc", "", "",
         Framed("01/00033/O/01/01/23///3/616263/0E")},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(BuildUCPFrame(r.ot, r.recipient, r.text, r.auth, r.legit), r.frame);
    }
    // 03 without legitimisation code has no comma; with one, LEN grows by 1 + g.
    const std::string plain = *BuildUCPFrame("03", "0123456", "abc", "1234", "");
    EXPECT_EQ(plain.find(','), std::string::npos);
    EXPECT_EQ(plain.substr(1, 9), "01/00048/");
    EXPECT_EQ(BuildUCPFrame("03", "0123456", "abc", "1234", "xyz")->substr(1, 9), "01/00052/");
    EXPECT_EQ(BuildUCPFrame("51", "0123456", "abc", "1234", "xyz")->substr(1, 9), "01/00067/");
}

TEST(BuildUCPFrame, UnsupportedOperationTypesGetNoFrame)
{
    for (const char *ot : {"", "1", "02", "31", "52", "01 ", "5l"}) {
        SCOPED_TRACE(ot);
        EXPECT_FALSE(BuildUCPFrame(ot, "0123456", "abc", "", "").has_value());
        EXPECT_FALSE(IsSupportedUCPOperation(ot));
    }
}

TEST(BuildUCPFrame, LengthFieldAroundItsBreakpoints)
{
    // Type 01: LEN = 22 + r + 2 * text length.
    struct Row {
        std::string recipient;
        std::size_t textLength;
        std::string lenField;
    };
    const Row rows[] = {
        {"0123456", 35, "00099"},    {"01234567", 35, "00100"},     {"0123456", 485, "00999"},
        {"01234567", 485, "001000"}, {"01234567", 4985, "0010000"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.lenField);
        const std::string frame =
            *BuildUCPFrame("01", r.recipient, std::string(r.textLength, 'x'), "", "");
        EXPECT_EQ(frame.substr(4, r.lenField.size() + 1), r.lenField + "/");
        // Below 1000 LEN is exactly what lies between STX and ETX; the longer
        // field of bigger frames adds characters that LEN does not count.
        const std::size_t inner = frame.size() - 2;
        EXPECT_EQ(inner, std::stoul(r.lenField) + (r.lenField.size() - 5));
        // The text is never shortened: all of it sits between "/3/" and the checksum.
        std::string hex;
        for (std::size_t i = 0; i < r.textLength; ++i)
            hex += "78";
        const std::size_t start = frame.find("/3/") + 3;
        EXPECT_EQ(frame.substr(start, frame.size() - 3 - start), hex + "/");
    }
}

TEST(IA5Encoding, TwoUpperCaseHexDigitsPerByte)
{
    struct Row {
        std::string text, hex;
    };
    const Row rows[] = {
        {"", ""},
        {"a", "61"},
        {"\t", "09"},
        {"\n", "0A"},
        {"\x0f", "0F"},
        {"\x00\x01"s, "0001"},
        {"\x7f\x80", "7F80"},
        {"\xe9\xff", "E9FF"},
        {"Test Message", "54657374204D657373616765"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.hex);
        const IA5Result got = EncodeIA5(r.text);
        EXPECT_TRUE(got.ok);
        EXPECT_EQ(got.hex, r.hex);
    }
}

TEST(UCPChecksum, LastTwoHexDigitsOfTheByteSum)
{
    struct Row {
        std::string body, checksum;
    };
    const Row rows[] = {
        {"", "00"},
        {"/", "2F"},
        {std::string(24, 'z') + ":", "AA"}, // 2986 = 0xBAA
        {std::string(2, '\x80'), "00"},     // 256 wraps to zero
        {"\xff\x01", "00"},                 // high bytes count unsigned
        {"\xff", "FF"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.checksum);
        EXPECT_EQ(UCPChecksum(r.body), r.checksum);
    }
}

TEST(UCPLengthField, PrefixRule)
{
    EXPECT_EQ(UCPLengthField(35), "00035");
    EXPECT_EQ(UCPLengthField(99), "00099");
    EXPECT_EQ(UCPLengthField(100), "00100");
    EXPECT_EQ(UCPLengthField(172), "00172");
    EXPECT_EQ(UCPLengthField(1000), "001000");
}

TEST(BuildUCPFrameLogged, SuccessLogsNothingAndEncodingFailureLogsToEventsAndSendsEmptyText)
{
    test::TestGateway t;
    EXPECT_EQ(BuildUCPFrame(t.gw, "51", "0123456", "abc", "", ""),
              *BuildUCPFrame("51", "0123456", "abc", "", ""));
    EXPECT_EQ(BuildUCPFrame(t.gw, "99", "0123456", "abc", "", ""), "");
    EXPECT_FALSE(std::filesystem::exists(t.dir / "Events.Log"));

    const IA5Encoder failing = [](std::string_view) {
        return IA5Result{false, "", "Invalid procedure call"};
    };
    const std::string frame = BuildUCPFrame(t.gw, "01", "0123456", "abc", "", "", failing);
    EXPECT_EQ(frame, *BuildUCPFrame("01", "0123456", "", "", ""));
    EXPECT_EQ(t.readFile("Events.Log"),
              "06/12/2026 12:00:00: Error Occured in IA5Encoding of UCP message. Please recheck "
              "paramters and retry again.\rInvalid procedure call/False\r\n");
    EXPECT_FALSE(std::filesystem::exists(t.dir / "Master.Log"));
}

} // namespace
} // namespace qm
