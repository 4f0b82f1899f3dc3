// The simulated centres judge what the gateway sends in every other test: they
// must accept each frame and block the gateway builds and refuse a changed
// byte, a wrong LEN or a missing field, or a gateway fault would pass unseen.

#include "tap/tapblock.h"
#include "tapcentre.h"
#include "ucp/ucpframe.h"
#include "ucpcentre.h"

#include <gtest/gtest.h>

#include <string>

namespace qm::sim
{
namespace
{

// The bytes between STX and ETX.
UcpDecoded Ucp(const std::string &frame)
{
    return DecodeUcpFrame(frame.substr(1, frame.size() - 2));
}

// A frame around `afterLen` with a correct LEN (plus `lenError`) and checksum.
std::string Wrap(const std::string &afterLen, int lenError = 0)
{
    const std::string body =
        "01/" + UCPLengthField(afterLen.size() + 11 + lenError) + "/" + afterLen;
    return "\002" + body + UCPChecksum(body) + "\003";
}

TEST(UcpCentre, AcceptsGatewayFramesAndRefusesAChangedByteWrongLenOrMissingField)
{
    for (const char *ot : {"01", "03", "30", "51"}) {
        SCOPED_TRACE(ot);
        const std::string frame = *BuildUCPFrame(ot, "0123456", "ab\xe9", "12", "");
        const UcpDecoded ok = Ucp(frame);
        EXPECT_TRUE(ok.ok) << ok.reason;
        EXPECT_EQ(ok.ot + ok.recipient + "/" + ok.text, ot + std::string("0123456/ab\xe9"));
        for (std::size_t i = 1; i + 1 < frame.size(); ++i) {
            std::string bad = frame;
            bad[i] = i >= frame.size() - 3 ? (bad[i] == '0' ? '1' : '0') : char(bad[i] + 1);
            EXPECT_FALSE(Ucp(bad).ok) << i;
        }
    }
    std::string fewer = BuildUCPFrame("51", "0123456", "abc", "", "")->substr(10);
    fewer.resize(fewer.size() - 3);
    fewer.erase(fewer.find("//"), 1); // one empty field fewer before MT
    for (const std::string &frame :
         {Wrap("O/01/0123456///3/616263/", -1), Wrap("O/01/0123456///3/616263/", 1), Wrap(fewer)})
        EXPECT_FALSE(Ucp(frame).ok) << frame;
    EXPECT_TRUE(Ucp(Wrap("O/01/0123456///3/616263/")).ok);
}

TEST(TapCentre, AcceptsGatewayBlocksAndRefusesAChangedByteOrMissingCr)
{
    // Bytes above 127 and control characters are plain text.
    const std::string text = "a\rb\n\x01\xe9\xff";
    const std::string block = BuildTAPBlock("0612345678", text);
    const TapDecoded ok = DecodeTapBlock(block);
    EXPECT_EQ(ok.status, TapDecoded::Status::Ok);
    EXPECT_EQ(ok.recipient + "/" + ok.text, "0612345678/" + text);
    for (std::size_t i = 1; i + 1 < block.size(); ++i) {
        if (block[i] == '\003' || block[i] == '\r')
            continue; // a lost block end is a different fault
        std::string bad = block;
        bad[i] = char(bad[i] + 1);
        EXPECT_NE(DecodeTapBlock(bad).status, TapDecoded::Status::Ok) << i;
    }
    EXPECT_EQ(DecodeTapBlock(block.substr(0, block.size() - 1)).status,
              TapDecoded::Status::Malformed);
}

} // namespace
} // namespace qm::sim
