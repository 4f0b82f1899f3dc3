#include "tap/tapblock.h"

#include <gtest/gtest.h>

#include <string>

namespace qm
{
namespace
{

using namespace std::string_literals;

TEST(BuildTAPBlock, FourteenByteExample)
{
    // Codes 2+49+50+51+13+97+98+99+13+3 = 475 = 0x1DB -> "1", "=", ";".
    const std::string want = "\x02"
                             "123\rabc\r\x03"
                             "1=;\r";
    EXPECT_EQ(want.size(), 14u);
    EXPECT_EQ(BuildTAPBlock("123", "abc"), want);
}

TEST(BuildTAPBlock, ChecksumCases)
{
    struct Row {
        const char *name;
        std::string recipient, text, block;
    };
    const Row rows[] = {
        // 2+49+50+51+13+13+3 = 181 = 0x0B5
        {"empty text", "123", "",
         "\x02"
         "123\r\r\x03"
         "0;5\r"},
        // 2+49+13+255+255+13+3 = 590 = 0x24E: bytes above 127 count unsigned
        {"high bytes", "1", "\xff\xff",
         "\x02"
         "1\r\xff\xff\r\x03"
         "24>\r"},
        // 20 * 255 + 2+49+13+13+3 = 5180 = 0x143C: only the low 12 bits
        {"sum past 4095", "1", std::string(20, '\xff'),
         "\x02"
         "1\r" +
             std::string(20, '\xff') +
             "\r\x03"
             "43<\r"},
        // Nothing escaped: a CR in the text goes through as it is.
        // 2+55+13+97+13+98+13+3 = 294 = 0x126
        {"CR in text", "7", "a\rb",
         "\x02"
         "7\ra\rb\r\x03"
         "126\r"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(BuildTAPBlock(r.recipient, r.text), r.block);
    }
}

TEST(TAPChecksum, DigitsThenPunctuationForTenToFifteen)
{
    EXPECT_EQ(TAPChecksum(""), "000");
    EXPECT_EQ(TAPChecksum("\xff"), "0??"); // 0x0FF
    EXPECT_EQ(TAPChecksum("\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\x0f"),
              "?00");
    EXPECT_EQ(TAPChecksum("\x01"), "001");
}

} // namespace
} // namespace qm
