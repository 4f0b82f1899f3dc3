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
    // Recipient "0123456", text "abc": the worked example of the four operation
    // types (sums checked by hand: 1664 = 0x680 for "01").
    const std::string ex01 = Framed("01/00035/O/01/0123456///3/616263/80");
    const struct {
        const char *ot, *recipient, *text, *auth, *legit;
        std::string frame;
    } rows[] = {
        {"01", "0123456", "abc", "", "", ex01},
        {"01", "0123456", "abc", "1234", "99", ex01}, // 01 ignores both codes
        {"03", "0123456", "abc", "", "", Framed("01/00044/O/03/0123456///0//////////616263/26")},
        {"03", "0123456", "abc", "1234", "99",
         Framed("01/00051/O/03/0123456,99//1234/0//////////616263/8C")},
        {"30", "0123456", "abc", "", "", Framed("01/00040/O/30/0123456///1//////616263/67")},
        {"51", "0123456", "abc", "", "",
         Framed("01/00063/O/51/0123456///////////////////3/616263/////////////AA")},
        {"01", "0123456", "", "", "", Framed("01/00029/O/01/0123456///3//4B")},
        // Nothing is escaped: the "/" shifts every field after it.
        {"01", "01/23", "abc", "", "", Framed("01/00033/O/01/01/23///3/616263/0E")},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(std::string(r.ot) + " " + r.recipient + " " + r.auth);
        EXPECT_EQ(BuildUCPFrame(r.ot, r.recipient, r.text, r.auth, r.legit), r.frame);
    }
    for (const char *ot : {"", "02", "52", "01 "})
        EXPECT_FALSE(BuildUCPFrame(ot, "0123456", "abc", "", "").has_value()) << ot;
    EXPECT_EQ(EncodeIA5("\x00\x0f\xe9\xff"s).hex, "000FE9FF");
}

TEST(BuildUCPFrame, LengthFieldAroundItsBreakpoints)
{
    // Type 01: LEN = 22 + recipient + 2 * text length; six characters from 1000 on.
    const struct {
        const char *recipient;
        std::size_t textLength;
        std::string len;
    } rows[] = {{"0123456", 35, "00099"}, {"01234567", 35, "00100"}, {"01234567", 485, "001000"}};
    for (const auto &r : rows) {
        SCOPED_TRACE(r.len);
        const std::string frame =
            *BuildUCPFrame("01", r.recipient, std::string(r.textLength, 'x'), "", "");
        EXPECT_EQ(frame.substr(4, r.len.size() + 1), r.len + "/");
        EXPECT_EQ(frame.size() - 2, std::stoul(r.len) + (r.len.size() - 5));
    }
}

TEST(BuildUCPFrameLogged, EncodingFailureLogsToEventsAndSendsAnEmptyText)
{
    test::TestGateway t;
    const IA5Encoder failing = [](std::string_view) {
        return IA5Result{false, "", "Invalid procedure call"};
    };
    EXPECT_EQ(BuildUCPFrame(t.gw, "01", "0123456", "abc", "", "", failing),
              *BuildUCPFrame("01", "0123456", "", "", ""));
    EXPECT_EQ(t.readFile("Events.Log"),
              "06/12/2026 12:00:00: Error Occured in IA5Encoding of UCP message. Please recheck "
              "paramters and retry again.\rInvalid procedure call/False\r\n");
    EXPECT_FALSE(std::filesystem::exists(t.dir / "Master.Log"));
}

} // namespace
} // namespace qm
