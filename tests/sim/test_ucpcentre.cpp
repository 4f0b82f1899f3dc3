#include "simtest.h"
#include "ucp/ucpframe.h"
#include "ucpcentre.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qm::sim
{
namespace
{

using namespace std::string_literals;
using test::Joined;
using test::ListRecorder;

std::string Framed(const std::string &inner)
{
    return "\x02" + inner + "\x03";
}

// A frame body with a correct LEN and checksum, whatever its fields say.
std::string Wrap(const std::string &afterLen)
{
    const std::string body = "01/" + UCPLengthField(afterLen.size() + 11) + "/" + afterLen;
    return Framed(body + UCPChecksum(body));
}

// The centre's positive and negative answers to a frame of type `ot`.
std::string Ack(const std::string &ot, const std::string &recipient)
{
    return BuildUcpAnswer("01", ot, "", recipient + ":061206120000");
}
std::string Nack(const std::string &ot, const std::string &code)
{
    return BuildUcpAnswer("01", ot, code, "");
}

// Feeds one frame to a fresh centre, which must record exactly one event.
struct OneFrame {
    explicit OneFrame(const std::string &frame) : answer(Joined(centre.feed(frame)))
    {
        EXPECT_EQ(rec.events.size(), 1u);
        event = rec.events.empty() ? SimEvent{"none", {}} : rec.events[0];
    }
    ListRecorder rec;
    UcpCentre centre{{}, &rec};
    std::string answer;
    SimEvent event;
};

TEST(UcpCentreAnswers, ByteExact)
{
    EXPECT_EQ(Ack("51", "0123456"), Framed("01/00040/R/51/A//0123456:061206120000/88"));
    EXPECT_EQ(Nack("51", "02"), Framed("01/00022/R/51/N/02//06"));
    EXPECT_EQ(Ack("01", "0123456"), Framed("01/00039/R/01/A/0123456:061206120000/5C"));
}

// Every frame the gateway builds is accepted and decodes to what went in.
TEST(UcpCentreRoundTrip, GatewayFramesAreAccepted)
{
    std::string allBytes;
    for (int b = 0; b < 256; ++b)
        allBytes += static_cast<char>(b);
    struct Msg {
        std::string recipient, text, auth, legit;
    };
    const Msg msgs[] = {
        {"0123456", "abc", "", ""},
        {"612345678", "Disk C: 95% full", "1234", "77"},
        {"1", "", "", ""},
        {"0049171123456", allBytes, "A/", ""}, // "/" in AC only for 01/30
        {"0123456", std::string(300, '\xe9'), "", "9"},
        {"0123456", std::string(600, 'm'), "", ""}, // six-character LEN
    };
    for (const char *ot : {"01", "03", "30", "51"}) {
        for (const Msg &m : msgs) {
            if (m.auth.find('/') != std::string::npos && (ot == "03"s || ot == "51"s))
                continue;
            SCOPED_TRACE(std::string(ot) + " " + m.recipient);
            const OneFrame f(*BuildUCPFrame(ot, m.recipient, m.text, m.auth, m.legit));
            EXPECT_EQ(f.event.kind, "accepted") << f.event.fields.count("reason");
            EXPECT_EQ(f.event.fields.at("recipient"), m.recipient);
            EXPECT_EQ(f.event.fields.at("text"), m.text);
            EXPECT_EQ(f.event.fields.at("ot"), ot);
            EXPECT_EQ(f.answer, Ack(ot, m.recipient));
        }
    }
}

// Refused in the record and in the answer, with `code`.
void ExpectRefused(const OneFrame &f, const std::string &code)
{
    EXPECT_EQ(f.event.kind, "refused");
    EXPECT_EQ(f.event.fields.at("code"), code);
    EXPECT_NE(f.answer.find("/N/" + code + "//"), std::string::npos) << f.answer;
}

// One byte changed anywhere between STX and ETX: refused as a checksum error.
TEST(UcpCentreRoundTrip, OneChangedByteIsRefusedWithChecksumError)
{
    for (const char *ot : {"01", "03", "30", "51"}) {
        const std::string frame = *BuildUCPFrame(ot, "0123456", "abc", "12", "");
        for (std::size_t i = 1; i + 1 < frame.size(); ++i) {
            std::string bad = frame;
            const bool checksumDigit = i >= frame.size() - 3;
            bad[i] = checksumDigit ? (bad[i] == '0' ? '1' : '0') : static_cast<char>(bad[i] + 1);
            SCOPED_TRACE(std::string(ot) + " at " + std::to_string(i));
            const OneFrame f(bad);
            ExpectRefused(f, "01");
            EXPECT_EQ(f.event.fields.at("reason"), "checksum error");
        }
    }
}

TEST(UcpCentreDecode, RefusalCodes)
{
    const std::string len36 = "01/00036/O/01/0123456///3/616263/";
    // A long frame whose six-character LEN counts the field's real width.
    std::string long6 = BuildUCPFrame("01", "01234567", std::string(485, 'x'), "", "")->substr(1);
    long6.resize(long6.size() - 3); // body without checksum and ETX
    ASSERT_EQ(long6.substr(3, 6), "001000");
    long6.replace(3, 6, "001001");
    const struct {
        const char *name;
        std::string frame, code;
    } rows[] = {
        {"slash in recipient shifts fields", *BuildUCPFrame("01", "01/23", "abc", "", ""), "02"},
        {"slash in code shifts fields", *BuildUCPFrame("51", "0123", "abc", "1/2", ""), "02"},
        {"letters in recipient", *BuildUCPFrame("30", "01ab", "abc", "", ""), "06"},
        {"empty recipient", *BuildUCPFrame("01", "", "abc", "", ""), "06"},
        {"recipient of 17 digits", *BuildUCPFrame("01", std::string(17, '1'), "abc", "", ""), "06"},
        {"operation not supported", Wrap("O/02/0123456///3/616263/"), "03"},
        {"odd IA5 length", Wrap("O/01/0123456///3/61626/"), "02"},
        {"not IA5 hex", Wrap("O/01/0123456///3/6G/"), "02"},
        {"MT other than 3", Wrap("O/01/0123456///4/616263/"), "02"},
        {"a result, not an operation", Wrap("R/01/A/0123456:0612/"), "02"},
        {"too few fields", Framed("01/00"), "02"},
        {"no checksum", Framed("01/00035/O/01/0123456///3/616263/8"), "02"},
        {"six-character LEN that counts the whole frame", Framed(long6 + UCPChecksum(long6)), "02"},
        {"LEN off by one", Framed(len36 + UCPChecksum(len36)), "02"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        ExpectRefused(OneFrame(r.frame), r.code);
    }
}

TEST(UcpCentreStream, FramesAmongNoiseAndInPieces)
{
    ListRecorder rec;
    UcpCentre centre({}, &rec);
    const std::string a = *BuildUCPFrame("01", "111", "first", "", "");
    const std::string b = *BuildUCPFrame("30", "222", "second", "", "");
    // Noise before, between, and a broken frame cut short by the next STX.
    const std::string stream =
        "ATDT123\r\nCONNECT\r\n" + a + "junk" + "\x02" + "01/000" + b + "tail";
    std::vector<Reply> replies;
    for (const char c : stream) {
        const std::vector<Reply> r = centre.feed(std::string(1, c));
        replies.insert(replies.end(), r.begin(), r.end());
    }
    EXPECT_EQ(rec.values("accepted", "text"), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(rec.events.size(), 2u);
    EXPECT_EQ(Joined(replies), Ack("01", "111") + Ack("30", "222"));

    // A frame without ETX that grows too long is dropped; the next one counts.
    UcpCentreOptions small;
    small.maxFrameBytes = 64;
    UcpCentre bounded(small, &rec);
    EXPECT_TRUE(bounded.feed("\x02" + std::string(100, '1')).empty());
    EXPECT_FALSE(bounded.feed(a).empty());
}

TEST(UcpCentreScenario, RejectSilentPiecesAndCodes)
{
    const std::string frame = *BuildUCPFrame("51", "0123456", "abc", "1234", "");
    ListRecorder rec;

    UcpCentreOptions reject;
    reject.mode = UcpCentreOptions::Mode::Reject;
    reject.rejectCode = "05";
    EXPECT_EQ(Joined(UcpCentre(reject, &rec).feed(frame)), Nack("51", "05"));
    EXPECT_EQ(rec.events.back().kind, "refused");

    UcpCentreOptions silent;
    silent.mode = UcpCentreOptions::Mode::Silent;
    EXPECT_TRUE(UcpCentre(silent, &rec).feed(frame).empty());
    EXPECT_EQ(rec.events.back().kind, "ignored");

    UcpCentreOptions pieces;
    pieces.replyPieces = 3;
    pieces.replyDelay = std::chrono::milliseconds(100);
    pieces.pieceGap = std::chrono::milliseconds(40);
    const std::vector<Reply> r = UcpCentre(pieces, &rec).feed(frame);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(Joined(r), Ack("51", "0123456"));
    EXPECT_EQ(r[0].delay.count(), 100);
    EXPECT_EQ(r[2].delay.count(), 180);

    UcpCentreOptions codes;
    codes.checkAuthentication = true;
    codes.authenticationCode = "1234";
    codes.legitimizationCode = "77";
    UcpCentre strict(codes, &rec);
    const auto send = [&](const char *ot, const char *auth, const char *legit) {
        return Joined(strict.feed(*BuildUCPFrame(ot, "0123456", "abc", auth, legit)));
    };
    EXPECT_EQ(send("51", "1234", ""), Ack("51", "0123456"));
    EXPECT_EQ(send("51", "999", ""), Nack("51", "07"));
    EXPECT_EQ(send("03", "1234", "78"), Nack("03", "08"));
    EXPECT_EQ(send("03", "1234", "77"), Ack("03", "0123456"));
}

} // namespace
} // namespace qm::sim
