// The simulated centres judge what the gateway sends in every other test: they
// must accept each frame and block the gateway builds and refuse a changed
// byte, a wrong LEN or a missing field, or a gateway fault would pass unseen.

#include "tap/tapblock.h"
#include "tapcentre.h"
#include "ucp/ucpframe.h"
#include "ucpcentre.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qm::sim
{
namespace
{

struct Events final : Recorder {
    void record(const SimEvent &e) override { all.push_back(e); }
    std::vector<SimEvent> all;
};

std::string Joined(const std::vector<Reply> &replies)
{
    std::string bytes;
    for (const Reply &r : replies)
        bytes += r.bytes;
    return bytes;
}

// The one event a fresh UCP centre records for `frame`.
SimEvent UcpVerdict(const std::string &frame, std::string *answer = nullptr)
{
    Events rec;
    UcpCentre centre({}, &rec);
    const std::string replied = Joined(centre.feed(frame));
    if (answer)
        *answer = replied;
    EXPECT_EQ(rec.all.size(), 1u);
    return rec.all.empty() ? SimEvent{"none", {}} : rec.all[0];
}

// A frame around `afterLen` with a correct LEN (plus `lenError`) and checksum.
std::string Wrap(const std::string &afterLen, int lenError = 0)
{
    const std::string body =
        "01/" + UCPLengthField(afterLen.size() + 11 + lenError) + "/" + afterLen;
    return "\002" + body + UCPChecksum(body) + "\003";
}

TEST(UcpCentre, AcceptsGatewayFramesAndRefusesAChangedByte)
{
    for (const char *ot : {"01", "03", "30", "51"})
        for (const std::string &text : {std::string("abc"), std::string(600, '\xe9')}) {
            SCOPED_TRACE(std::string(ot) + " " + std::to_string(text.size()));
            const std::string frame = *BuildUCPFrame(ot, "0123456", text, "12", "");
            std::string answer;
            const SimEvent ok = UcpVerdict(frame, &answer);
            EXPECT_EQ(ok.kind, "accepted");
            EXPECT_EQ(ok.fields.at("text"), text);
            EXPECT_EQ(answer, BuildUcpAnswer("01", ot, "", "0123456:061206120000"));
            for (std::size_t i = 1; i + 1 < frame.size(); i += text.size() > 3 ? 97 : 1) {
                std::string bad = frame;
                bad[i] = i >= frame.size() - 3 ? (bad[i] == '0' ? '1' : '0') : char(bad[i] + 1);
                const SimEvent e = UcpVerdict(bad);
                EXPECT_EQ(e.kind, "refused") << i;
                EXPECT_EQ(e.fields.count("reason") ? e.fields.at("reason") : "", "checksum error");
            }
        }
}

TEST(UcpCentre, RefusesAWrongLenOrFieldCountWhoseChecksumIsRight)
{
    std::string fewer = BuildUCPFrame("51", "0123456", "abc", "", "")->substr(10);
    fewer.resize(fewer.size() - 3);
    fewer.erase(fewer.find("//"), 1); // one empty field fewer before MT
    const std::string frames[] = {Wrap("O/01/0123456///3/616263/", -1),
                                  Wrap("O/01/0123456///3/616263/", 1), Wrap(fewer),
                                  Wrap("O/02/0123456///3/616263/")};
    for (const std::string &frame : frames) {
        SCOPED_TRACE(frame);
        EXPECT_EQ(UcpVerdict(frame).kind, "refused");
    }
}

// A TAP centre past the login with password "pw".
struct TapLoggedIn {
    TapLoggedIn() : centre(options(), &rec)
    {
        centre.onConnect();
        centre.feed("\r");
        EXPECT_EQ(Joined(centre.feed("\x1bPG1pw\r")), "\x06\r\x1b[p\r");
        rec.all.clear();
    }
    static TapCentreOptions options()
    {
        TapCentreOptions o;
        o.password = "pw";
        return o;
    }
    Events rec;
    TapCentre centre;
};

TEST(TapCentre, AcceptsGatewayBlocksAndNaksAChangedByte)
{
    std::string high;
    for (int b = 128; b < 256; ++b)
        high += char(b);
    for (const std::string &text :
         {std::string("abc"), high, std::string("a\rb\n\x01"), std::string(2000, 'z')}) {
        SCOPED_TRACE(text.size());
        const std::string block = BuildTAPBlock("0612345678", text);
        TapLoggedIn ok;
        EXPECT_EQ(Joined(ok.centre.feed(block)), "\x06\r");
        ASSERT_EQ(ok.rec.all.size(), 1u);
        EXPECT_EQ(ok.rec.all[0].fields.at("text"), text);
        for (std::size_t i = 1; i + 1 < block.size(); i += text.size() > 3 ? 97 : 1) {
            if (block[i] == '\003' || block[i] == '\r')
                continue; // a lost block end is a different fault
            std::string bad = block;
            bad[i] = char(bad[i] == 'z' ? 'y' : bad[i] + 1);
            TapLoggedIn t;
            EXPECT_EQ(Joined(t.centre.feed(bad)), "\x15\r") << i;
        }
    }
    // Without the CR after its checksum a block is not taken.
    TapLoggedIn t;
    const std::string block = BuildTAPBlock("123", "abc");
    EXPECT_EQ(DecodeTapBlock(block.substr(0, block.size() - 1)).status,
              TapDecoded::Status::Malformed);
}

} // namespace
} // namespace qm::sim
