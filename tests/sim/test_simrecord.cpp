#include "centres.h"
#include "jsonrecorder.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace qm::sim
{
namespace
{

using namespace std::string_literals;

TEST(SimRecord, JsonStringKeepsEveryByteRecoverable)
{
    struct Row {
        std::string bytes, json;
    };
    const Row rows[] = {
        {"", "\"\""},
        {"OK", "\"OK\""},
        {"say \"hi\" \\ bye", "\"say \\\"hi\\\" \\\\ bye\""},
        {"\r\n", "\"\\u000d\\u000a\""},
        {"\x02"s + "01\x03", // not "\x02" + "01"s: a false -Wrestrict in GCC 12 at -O3
         "\"\\u000201\\u0003\""},
        {"\0\x7f\xe9\xff"s, "\"\\u0000\\u007f\\u00e9\\u00ff\""},
    };
    for (const Row &r : rows)
        EXPECT_EQ(JsonString(r.bytes), r.json);
}

TEST(SimRecord, OneFlushedLinePerEvent)
{
    std::FILE *f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    long long t = 5;
    JsonRecorder rec(f, [&t] { return t; });
    rec.record({"dial", {{"number", "555"}, {"result", "busy"}}});
    t = 1250;
    rec.record({"hangup", {}});

    std::rewind(f);
    char buf[256] = {};
    const std::size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    EXPECT_EQ(std::string(buf, n),
              "{\"t\":5,\"kind\":\"dial\",\"number\":\"555\",\"result\":\"busy\"}\n"
              "{\"t\":1250,\"kind\":\"hangup\"}\n");
}

TEST(SimRecord, CentreKindsAreKnownAndOthersRefused)
{
    struct NullRecorder final : Recorder {
        void record(const SimEvent &) override {}
    } rec;
    for (const std::string &kind : CentreKinds())
        EXPECT_NE(MakeCentre(CentreOptions{kind}, rec), nullptr) << kind;
    EXPECT_EQ(MakeCentre(CentreOptions{"nonesuch"}, rec), nullptr);
    EXPECT_EQ(MakeCentre(CentreOptions{""}, rec), nullptr);
}

TEST(SimRecord, CentreOptionsFromTheCommandLine)
{
    CentreOptions o("ucp");
    std::string error;
    struct Row {
        std::string option, value;
        bool ok;
    };
    const Row rows[] = {
        {"--ucp-mode", "reject", true},
        {"--ucp-reject-code", "06", true},
        {"--tap-password", "pw", true},
        {"--tap-ignored-prompts", "2", true},
        {"--tap-login", "disconnect", true},
        {"--tap-go-ahead", "no", true},
        {"--tap-blocks", "refuse", true},
        {"--reply-pieces", "3", true},
        {"--reply-delay", "15", true},
        {"--ucp-mode", "maybe", false},
        {"--ucp-reject-code", "6", false},
        {"--ucp-reject-code", "x1", false},
        {"--tap-ignored-prompts", "-1", false},
        {"--tap-go-ahead", "1", false},
        {"--reply-pieces", "0", false},
        {"--reply-delay", "soon", false},
        {"--speed", "9600", false},
    };
    for (const Row &r : rows) {
        EXPECT_EQ(ParseCentreOption(o, r.option, r.value, error), r.ok)
            << r.option << " " << r.value;
        EXPECT_EQ(error.empty(), r.ok) << r.option;
    }
    // The accepted values took effect; refused ones changed nothing.
    EXPECT_EQ(o.ucp.mode, UcpCentreOptions::Mode::Reject);
    EXPECT_EQ(o.ucp.rejectCode, "06");
    EXPECT_EQ(o.tap.password, "pw");
    EXPECT_EQ(o.tap.ignoredPrompts, 2);
    EXPECT_EQ(o.tap.login, TapCentreOptions::Login::Disconnect);
    EXPECT_FALSE(o.tap.goAhead);
    EXPECT_EQ(o.tap.blocks, TapCentreOptions::Blocks::Refuse);
    EXPECT_EQ(o.ucp.replyPieces, 3);
    EXPECT_EQ(o.tap.replyPieces, 3);
    EXPECT_EQ(o.tap.replyDelay, std::chrono::milliseconds(15));
}

} // namespace
} // namespace qm::sim
