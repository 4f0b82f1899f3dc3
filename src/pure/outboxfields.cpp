#include "pure/outboxfields.h"

#include "pure/text.h"

#include <cstddef>

namespace qm
{

namespace
{

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads one field from `pos`, leaving `pos` on the separator that ended it
// (or at the end).
OutboxField ReadField(std::string_view s, std::size_t &pos)
{
    OutboxField f;
    while (pos < s.size() && IsBlank(s[pos]))
        ++pos;
    if (pos >= s.size())
        return f;
    f.present = true;
    if (s[pos] == '"') {
        f.quoted = true;
        const std::size_t close = s.find('"', pos + 1);
        const std::size_t end = close == std::string_view::npos ? s.size() : close;
        f.text.assign(s.substr(pos + 1, end - pos - 1));
        pos = end == s.size() ? end : end + 1;
        // Stray bytes between the closing quote and the separator are dropped.
        while (pos < s.size() && s[pos] != ',' && !IsLineEnd(s[pos]))
            ++pos;
        return f;
    }
    const std::size_t start = pos;
    while (pos < s.size() && s[pos] != ',' && !IsLineEnd(s[pos]))
        ++pos;
    f.text.assign(s.substr(start, pos - start));
    return f;
}

// Steps over one separator: a comma, or one line end (CR LF, CR or LF).
void SkipSeparator(std::string_view s, std::size_t &pos)
{
    if (pos >= s.size())
        return;
    if (s[pos] == ',') {
        ++pos;
        return;
    }
    if (s[pos] == '\r') {
        ++pos;
        if (pos < s.size() && s[pos] == '\n')
            ++pos;
        return;
    }
    if (s[pos] == '\n')
        ++pos;
}

} // namespace

OutboxFields ReadOutboxFields(std::string_view content)
{
    // Windows tools often start UTF-8 text with a byte-order mark; it is no
    // part of the recipient. The rest stays single-byte text as it is.
    if (content.starts_with("\xEF\xBB\xBF"))
        content.remove_prefix(3);
    OutboxFields out;
    std::size_t pos = 0;
    out.recipient = ReadField(content, pos);
    SkipSeparator(content, pos);
    out.message = ReadField(content, pos);
    return out;
}

std::string FieldValue(const OutboxField &field, FieldTyping typing)
{
    if (typing == FieldTyping::Text || field.quoted)
        return field.text;
    const std::string t(TrimBlanks(field.text));
    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        negative = t[i] == '-';
        ++i;
    }
    const std::size_t intStart = i;
    while (i < t.size() && IsDigit(t[i]))
        ++i;
    const std::size_t intEnd = i;
    if (intEnd == intStart)
        return field.text;
    std::size_t fracStart = t.size();
    if (i < t.size() && t[i] == '.') {
        fracStart = ++i;
        while (i < t.size() && IsDigit(t[i]))
            ++i;
    }
    if (i != t.size())
        return field.text; // not a number: "1e3", "+49 123", "12abc"

    std::size_t firstSignificant = intStart;
    while (firstSignificant + 1 < intEnd && t[firstSignificant] == '0')
        ++firstSignificant;
    std::string number = t.substr(firstSignificant, intEnd - firstSignificant);
    if (fracStart < t.size())
        number += "." + t.substr(fracStart); // a bare trailing point is dropped
    const bool isZero = number.find_first_not_of("0.") == std::string::npos;
    if (negative && !isZero)
        number.insert(number.begin(), '-');
    return number;
}

OutboxMessage ToOutboxMessage(const OutboxFields &fields, FieldTyping typing)
{
    return {FieldValue(fields.recipient, typing), FieldValue(fields.message, typing)};
}

} // namespace qm
