#include "simtest.h"
#include "tap/tapblock.h"
#include "tapcentre.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qm::sim
{
namespace
{

using test::Joined;
using test::ListRecorder;

const std::string IdPrompt = "ID=";
const std::string LoginAck = "\x06\r\x1b[p\r";
const std::string Ack = "\x06\r";
const std::string Nak = "\x15\r";
const std::string Rs = "\x1e\r";
const std::string Bye = "\x1b\x04\r";

std::string Login(const std::string &password)
{
    return "\x1bPG1" + password + "\r";
}

// A centre already past the login with password "secret".
struct LoggedIn {
    explicit LoggedIn(TapCentreOptions o = {}) : centre((o.password = "secret", o), &rec)
    {
        centre.onConnect();
        EXPECT_EQ(Joined(centre.feed("\r")), IdPrompt);
        EXPECT_EQ(Joined(centre.feed(Login("secret"))), LoginAck);
        rec.events.clear();
    }
    ListRecorder rec;
    TapCentre centre;
};

TEST(TapCentreDialogue, PromptLoginBlockAndEnd)
{
    ListRecorder rec;
    TapCentreOptions o;
    o.password = "secret";
    o.ignoredPrompts = 2;
    TapCentre centre(o, &rec);
    centre.onConnect();
    for (const char *ignored : {"noise", "\r", "\r"})
        EXPECT_TRUE(centre.feed(ignored).empty());
    EXPECT_EQ(Joined(centre.feed("\r")), IdPrompt);
    // Another bare CR asks again; a wrong password is NAKed and may be retried.
    EXPECT_EQ(Joined(centre.feed("\r")), IdPrompt);
    EXPECT_EQ(Joined(centre.feed(Login("wrong"))), Nak);
    EXPECT_EQ(Joined(centre.feed(Login("secret"))), LoginAck);
    EXPECT_EQ(centre.state(), TapCentre::State::LoggedIn);
    EXPECT_EQ(Joined(centre.feed(qm::BuildTAPBlock("123", "abc"))), Ack);
    // The modem's hang-up command reaches the centre as noise.
    EXPECT_TRUE(centre.feed("ATH").empty());
    EXPECT_EQ(Joined(centre.feed("\x04\r")), Bye);
    EXPECT_EQ(centre.state(), TapCentre::State::Done);
    EXPECT_TRUE(centre.feed(qm::BuildTAPBlock("123", "abc")).empty());

    ASSERT_EQ(rec.values(), (std::vector<std::string>{"login", "login", "accepted"}));
    EXPECT_EQ(rec.values("login", "result"), (std::vector<std::string>{"refused", "accepted"}));
    EXPECT_EQ(rec.events[2].fields,
              (std::map<std::string, std::string>{
                  {"recipient", "123"}, {"text", "abc"}, {"protocol", "TAP"}}));

    // A new call starts over.
    centre.onHangup();
    EXPECT_EQ(Joined(centre.feed("\r\r\r")), IdPrompt);
}

TEST(TapCentreScenario, LoginAndBlockRefusals)
{
    struct Row {
        const char *name;
        TapCentreOptions::Login login;
        bool goAhead;
        TapCentreOptions::Blocks blocks;
        std::string loginAnswer, blockAnswer;
    };
    using L = TapCentreOptions::Login;
    using B = TapCentreOptions::Blocks;
    const Row rows[] = {
        {"all well", L::Check, true, B::Check, LoginAck, Ack},
        {"no go-ahead", L::Check, false, B::Check, Ack, Ack},
        {"login refused", L::Refuse, true, B::Check, Nak, ""},
        {"disconnect at login", L::Disconnect, true, B::Check, Bye, ""},
        {"blocks NAKed", L::Check, true, B::Nak, LoginAck, Nak},
        {"blocks refused", L::Check, true, B::Refuse, LoginAck, Rs},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        ListRecorder rec;
        TapCentreOptions o;
        o.password = "pw";
        o.login = r.login;
        o.goAhead = r.goAhead;
        o.blocks = r.blocks;
        TapCentre centre(o, &rec);
        centre.feed("\r");
        EXPECT_EQ(Joined(centre.feed(Login("pw"))), r.loginAnswer);
        EXPECT_EQ(Joined(centre.feed(qm::BuildTAPBlock("123", "abc"))), r.blockAnswer);
        const bool accepted = r.blockAnswer == Ack;
        EXPECT_EQ(rec.events.back().kind, r.blockAnswer.empty() ? "login"
                                          : accepted            ? "accepted"
                                                                : "refused");
    }
}

TEST(TapCentreRoundTrip, GatewayBlocksAreAcceptedAndDecoded)
{
    std::string high;
    for (int b = 128; b < 256; ++b)
        high += static_cast<char>(b);
    struct Row {
        std::string recipient, text;
    };
    const Row rows[] = {
        {"123", "abc"},
        {"0612345678", "Disk C: 95% full"},
        {"1", ""},
        {"+4917112345", high},
        {"99", "two\rlines"},
        {"5", "lf\nonly, \x01\x1b ctl"},
        {"7", std::string(2000, 'z')},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.recipient);
        LoggedIn t;
        EXPECT_EQ(Joined(t.centre.feed(qm::BuildTAPBlock(r.recipient, r.text))), Ack);
        ASSERT_EQ(t.rec.values(), std::vector<std::string>{"accepted"});
        EXPECT_EQ(t.rec.values("accepted", "recipient")[0], r.recipient);
        EXPECT_EQ(t.rec.values("accepted", "text")[0], r.text);
    }
}

TEST(TapCentreRoundTrip, OneChangedByteIsNaked)
{
    const std::string block = qm::BuildTAPBlock("0612345678", "Disk C: 95% full \xe9");
    // Every byte after STX up to the last checksum character (ETX excluded:
    // changing it loses the block end, which is a different fault).
    for (std::size_t i = 1; i + 1 < block.size(); ++i) {
        if (block[i] == '\x03' || block[i] == '\r')
            continue;
        SCOPED_TRACE(i);
        std::string bad = block;
        bad[i] = static_cast<char>(bad[i] == 'z' ? 'y' : bad[i] + 1);
        LoggedIn t;
        EXPECT_EQ(Joined(t.centre.feed(bad)), Nak);
        ASSERT_EQ(t.rec.values(), std::vector<std::string>{"refused"});
        EXPECT_EQ(t.rec.values("refused", "reason")[0], "checksum error");
        // The caller may resend the good block at once.
        EXPECT_EQ(Joined(t.centre.feed(block)), Ack);
    }
}

TEST(TapCentreDecode, MalformedBlocks)
{
    struct Row {
        const char *name;
        std::string block;
        TapDecoded::Status status;
    };
    using S = TapDecoded::Status;
    // Blocks built by hand around the given fields, with or without their correct checksum.
    const auto bare = [](const std::string &fields) { return "\x02" + fields + "\x03"; };
    const auto withSum = [&](const std::string &f) {
        return bare(f) + qm::TAPChecksum(bare(f)) + "\r";
    };
    const Row rows[] = {
        {"good", withSum("12\rab\r"), S::Ok},
        {"letters in pager id", withSum("12a\rab\r"), S::InvalidRecipient},
        {"empty pager id", withSum("\rab\r"), S::InvalidRecipient},
        {"one field only", withSum("12\r"), S::Malformed},
        {"last field without CR", withSum("12\rab"), S::Malformed},
        {"no CR after checksum", withSum("12\rab\r").substr(0, 10) + "x", S::Malformed},
        {"checksum bytes wrong", bare("12\rab\r") + "000\r", S::BadChecksum},
        {"too short", bare("") + "00\r", S::Malformed},
        {"empty", "", S::Malformed},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(DecodeTapBlock(r.block).status, r.status);
    }
    LoggedIn t;
    EXPECT_EQ(Joined(t.centre.feed(withSum("12a\rab\r"))), Rs);
    EXPECT_EQ(t.rec.events.back().fields.at("reason"), "invalid pager id");
}

TEST(TapCentreStream, PiecesBothWays)
{
    TapCentreOptions o;
    o.replyPieces = 2;
    o.replyDelay = std::chrono::milliseconds(100);
    o.pieceGap = std::chrono::milliseconds(30);
    LoggedIn t(o);
    // The block arrives a byte at a time; the answer leaves in two pieces.
    const std::string block = qm::BuildTAPBlock("123", "abc");
    std::vector<Reply> replies;
    for (const char c : block) {
        const std::vector<Reply> r = t.centre.feed(std::string(1, c));
        replies.insert(replies.end(), r.begin(), r.end());
    }
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(Joined(replies), Ack);
    EXPECT_EQ(replies[0].delay.count(), 100);
    EXPECT_EQ(replies[1].delay.count(), 130);

    // A block without ETX that grows too long is refused and forgotten.
    TapCentreOptions small;
    small.maxBlockBytes = 32;
    LoggedIn s(small);
    EXPECT_EQ(Joined(s.centre.feed("\x02" + std::string(40, '1'))), Nak);
    EXPECT_EQ(Joined(s.centre.feed(block)), Ack);
}

} // namespace
} // namespace qm::sim
