// Conversions between byte arrays, text and hexadecimal text.

#include "cryptotest.h"

#include <gtest/gtest.h>

namespace qm::test
{
namespace
{

class Conversions : public ::testing::Test
{
protected:
    FakeNotifier notifier;
    clsCryptoAPI api{notifier};
};

TEST_F(Conversions, ByteArraysAddATrailingElementTextDropsItAndTrailingBlanks)
{
    EXPECT_EQ(api.StringToByteArray("abc"), (ByteArray{97, 98, 99, 0}));
    EXPECT_EQ(api.ByteArrayToString(api.StringToByteArray("abc")), "abc");
    EXPECT_EQ(api.StringToByteArray(""), (ByteArray{0}));
    // Bytes above 127 and NULs inside the text survive.
    const std::string binary("\xff\x00\x80q", 4);
    EXPECT_EQ(api.ByteArrayToString(api.StringToByteArray(binary)), binary);

    EXPECT_EQ(api.ByteArrayToString({'a', 'b', 'X'}), "ab");
    EXPECT_EQ(api.ByteArrayToString({'a', ' ', 'b', ' ', ' ', 0}), "a b");
    EXPECT_EQ(api.ByteArrayToString({' ', ' ', 0}), "");
    EXPECT_EQ(api.ByteArrayToString({'a'}), "");
    EXPECT_EQ(api.ByteArrayToString({}), "");
}

TEST_F(Conversions, HexIsUpperCaseTwoDigitsPerByte)
{
    EXPECT_EQ(api.ConvertByteToHex({0x00, 0x0a, 0xFF, 0x20, 0x7e}), "000AFF20");
    EXPECT_EQ(api.ConvertByteToHex({0x41}), "");
    EXPECT_EQ(api.ConvertByteToHex({}), "");
    // Text keeps its trailing blanks as pairs.
    EXPECT_EQ(api.ConvertStringToHex(std::string("a\x01\xfe  ", 5)), "6101FE2020");
    EXPECT_EQ(api.ConvertStringToHex("z", true), "7A");
    EXPECT_EQ(api.ConvertStringToHex("z", false), "7A");
    EXPECT_EQ(api.ConvertStringToHex(""), "");

    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(255 - b)); // ends in 0x00, not a blank
    EXPECT_EQ(api.ConvertStringFromHex(api.ConvertStringToHex(all)), all);
    EXPECT_EQ(api.ConvertByteToHex(api.StringToByteArray(all)), api.ConvertStringToHex(all));
}

TEST_F(Conversions, ConvertStringFromHexReadsEitherCaseAndDropsTrailingBlanks)
{
    EXPECT_EQ(api.ConvertStringFromHex("6162632020"), "abc");
    EXPECT_EQ(api.ConvertStringFromHex("6a6B00"), std::string("jk\0", 3));
    EXPECT_EQ(api.ConvertStringFromHex(""), "");
    EXPECT_TRUE(notifier.notices.empty());
    // Malformed text shows the corruption box and gives nothing.
    for (const char *bad : {"616", "6", "6G", "zz61", "61 2"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(api.ConvertStringFromHex(bad), "");
        expectNotices(notifier, "Data corrupted", "Data string is corrupted.  Cannot be Decrypted.",
                      NoticeIcon::Critical);
    }
}

} // namespace
} // namespace qm::test
