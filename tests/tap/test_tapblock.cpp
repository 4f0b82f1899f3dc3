#include "tap/tapblock.h"

#include <gtest/gtest.h>

#include <string>

namespace qm
{
namespace
{

TEST(BuildTAPBlock, ByteExactWithItsChecksum)
{
    const struct {
        std::string recipient, text, block;
    } rows[] = {
        // 475 = 0x1DB: the fourteen-byte worked example.
        {"123", "abc", "\002123\rabc\r\0031=;\r"},
        // 590 = 0x24E: bytes above 127 count unsigned.
        {"1", "\xff\xff", "\0021\r\xff\xff\r\00324>\r"},
        // 5180 = 0x143C: only the low twelve bits.
        {"1", std::string(20, '\xff'), "\0021\r" + std::string(20, '\xff') + "\r\00343<\r"},
        // 294 = 0x126: nothing is escaped.
        {"7", "a\rb", "\0027\ra\rb\r\003126\r"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.recipient + " " + std::to_string(r.text.size()));
        EXPECT_EQ(BuildTAPBlock(r.recipient, r.text), r.block);
    }
}

} // namespace
} // namespace qm
