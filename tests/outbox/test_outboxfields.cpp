#include "outbox/outboxfields.h"
#include "outbox/recipientfilter.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace qm
{
namespace
{

using namespace std::string_literals;

TEST(ReadOutboxFields, FieldSyntax)
{
    struct Row {
        const char *name;
        std::string content, recipient, message;
        bool recipientQuoted, messagePresent;
    };
    const Row rows[] = {
        {"two lines", "\"0612\"\r\n\"Disk full\"\r\n", "0612", "Disk full", true, true},
        {"unquoted, cut at a comma", "0612,Disk 95%, full\r\n", "0612", "Disk 95%", false, true},
        {"blanks around fields", " \t\"0612\" , \"abc\"\r\n", "0612", "abc", true, true},
        {"CR LF inside quotes", "\"06\r\n12\",\"a\r\nb\"\r\n", "06\r\n12", "a\r\nb", true, true},
        {"lone LF line end", "0612\nhello", "0612", "hello", false, true},
        {"one field only", "\"0612\"\r\n", "0612", "", true, false},
        {"rest ignored", "\"a\",\"b\",\"c\"\r\nmore,lines\r\n", "a", "b", true, true},
        {"unterminated quote runs to the end", "\"0612,abc", "0612,abc", "", true, false},
        {"binary", "\x00\xff\x01,\xfe\"q\"\x00"s, "\x00\xff\x01"s, "\xfe\"q\"\x00"s, false, true},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const OutboxFields f = ReadOutboxFields(r.content);
        EXPECT_EQ(f.recipient.text, r.recipient);
        EXPECT_EQ(f.message.text, r.message);
        EXPECT_EQ(f.recipient.quoted, r.recipientQuoted);
        EXPECT_EQ(f.message.present, r.messagePresent);
    }
}

TEST(FieldValue, TypedRuleForUnquotedFields)
{
    const auto check = [](const std::string &raw, const std::string &typed) {
        SCOPED_TRACE(raw);
        EXPECT_EQ(FieldValue(OutboxField{raw, false, true}, FieldTyping::Typed), typed);
        EXPECT_EQ(FieldValue(OutboxField{raw, true, true}, FieldTyping::Typed), raw);
    };
    // clang-format off
    const char *const numbers[][2] = {{"0612345678", "612345678"}, {"+0049", "49"}, {"-007", "-7"},
        {"-0", "0"}, {"012.50", "12.50"}, {"12.", "12"}, {"0612 ", "612"},
        {"123456789012345678901234567890", "123456789012345678901234567890"}};
    // clang-format on
    for (const auto &[raw, typed] : numbers)
        check(raw, typed);
    // Not numbers: stay text as written.
    for (const char *text : {"+49 123", "1e3", ".5", "12abc", "+", ""})
        check(text, text);
}

TEST(PrepareRecipient, RemovesBlanksAndCrLfPairsOnly)
{
    // Lone CR and LF stay, as does LF CR; blanks go first, then the pair; only spaces are blanks.
    // clang-format off
    const char *const rows[][2] = {{" 0612 345 678 ", "0612345678"}, {"01\r\n23\r\n45", "012345"},
        {"01\r23\n", "01\r23\n"}, {"01\n\r23", "01\n\r23"}, {"\r \n", ""}, {"01\t23", "01\t23"}};
    // clang-format on
    for (const auto &[in, out] : rows) {
        SCOPED_TRACE(in);
        EXPECT_EQ(PrepareRecipient(in), out);
    }
}

// Rewrites the recipient and counts its instances.
struct PrefixFilter final : RecipientFilter {
    explicit PrefixFilter(int &made) { ++made; }
    void SetRecipient(const std::string &recipient) override { value = "00" + recipient; }
    std::string Value() const override { return value; }
    std::string value = "unset";
};

TEST(PrepareRecipient, GoesThroughOneFreshFilterPerMessage)
{
    int made = 0;
    const RecipientFilterFactory factory = [&made] { return std::make_unique<PrefixFilter>(made); };
    // The filter sees the recipient as read; the blanks it returns are removed after.
    EXPECT_EQ(PrepareRecipient("49 171 1", factory), "00491711");
    EXPECT_EQ(PrepareRecipient("5", factory), "005");
    EXPECT_EQ(made, 2);
    // A filter that cannot be created leaves the recipient as read.
    EXPECT_EQ(PrepareRecipient("06 12", [] { return std::unique_ptr<RecipientFilter>(); }), "0612");
}

} // namespace
} // namespace qm
