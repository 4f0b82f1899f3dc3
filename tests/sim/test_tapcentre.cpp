#include "tap/tapblock.h"
#include "tapcentre.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qm::sim
{
namespace
{

using namespace std::string_literals;

const std::string IdPrompt = "ID=";
const std::string LoginAck = "\x06\r\x1b[p\r";
const std::string Ack = "\x06\r";
const std::string Nak = "\x15\r";
const std::string Rs = "\x1e\r";
const std::string Bye = "\x1b\x04\r";

struct ListRecorder final : Recorder {
    void record(const SimEvent &e) override { events.push_back(e); }
    std::vector<SimEvent> events;
};

std::string Joined(const std::vector<Reply> &replies)
{
    std::string all;
    for (const Reply &r : replies)
        all += r.bytes;
    return all;
}

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
    EXPECT_TRUE(centre.feed("noise").empty());
    EXPECT_TRUE(centre.feed("\r").empty());
    EXPECT_TRUE(centre.feed("\r").empty());
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

    ASSERT_EQ(rec.events.size(), 3u);
    EXPECT_EQ(rec.events[0].kind, "login");
    EXPECT_EQ(rec.events[0].fields.at("result"), "refused");
    EXPECT_EQ(rec.events[1].fields.at("result"), "accepted");
    EXPECT_EQ(rec.events[2].kind, "accepted");
    EXPECT_EQ(rec.events[2].fields.at("recipient"), "123");
    EXPECT_EQ(rec.events[2].fields.at("text"), "abc");
    EXPECT_EQ(rec.events[2].fields.at("protocol"), "TAP");

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
        ASSERT_EQ(t.rec.events.size(), 1u);
        EXPECT_EQ(t.rec.events[0].kind, "accepted");
        EXPECT_EQ(t.rec.events[0].fields.at("recipient"), r.recipient);
        EXPECT_EQ(t.rec.events[0].fields.at("text"), r.text);
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
        ASSERT_EQ(t.rec.events.size(), 1u);
        EXPECT_EQ(t.rec.events[0].kind, "refused");
        EXPECT_EQ(t.rec.events[0].fields.at("reason"), "checksum error");
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
    // Blocks built by hand with their correct checksums.
    const auto withSum = [](const std::string &stxToEtx) {
        return stxToEtx + qm::TAPChecksum(stxToEtx) + "\r";
    };
    const Row rows[] = {
        {"good",
         withSum("\x02"
                 "12\rab\r\x03"),
         S::Ok},
        {"letters in pager id",
         withSum("\x02"
                 "12a\rab\r\x03"),
         S::InvalidRecipient},
        {"empty pager id", withSum("\x02\rab\r\x03"), S::InvalidRecipient},
        {"one field only",
         withSum("\x02"
                 "12\r\x03"),
         S::Malformed},
        {"last field without CR",
         withSum("\x02"
                 "12\rab\x03"),
         S::Malformed},
        {"no CR after checksum",
         withSum("\x02"
                 "12\rab\r\x03")
                 .substr(0, 10) +
             "x",
         S::Malformed},
        {"checksum bytes wrong",
         "\x02"
         "12\rab\r\x03"
         "000\r",
         S::BadChecksum},
        {"too short",
         "\x02\x03"
         "00\r",
         S::Malformed},
        {"empty", "", S::Malformed},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(DecodeTapBlock(r.block).status, r.status);
    }
    LoggedIn t;
    EXPECT_EQ(Joined(t.centre.feed(withSum("\x02"
                                           "12a\rab\r\x03"))),
              Rs);
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
