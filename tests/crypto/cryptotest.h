#pragma once
// Helpers shared by the crypto tests.

#include "crypto/clscryptoapi.h"
#include "fakes.h"

#include <gtest/gtest.h>

#include <string>

namespace qm::test
{

// Bytes from hex digits, in the class's array form (one extra trailing 0).
inline ByteArray arrayFromHex(const std::string &hex)
{
    ByteArray out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    out.push_back(0);
    return out;
}

// Bytes first..first+count-1 (mod 256), in the class's array form.
inline ByteArray counting(std::size_t count, unsigned first = 0)
{
    ByteArray out;
    for (std::size_t j = 0; j < count; ++j)
        out.push_back(static_cast<std::uint8_t>((first + j) % 256));
    out.push_back(0);
    return out;
}

inline ByteArray arrayOf(const std::string &text)
{
    ByteArray out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

// Exactly `count` notices, all alike; cleared after the check.
inline void expectNotices(FakeNotifier &n, const std::string &title, const std::string &text,
                          NoticeIcon icon, std::size_t count = 1)
{
    EXPECT_EQ(n.notices.size(), count);
    for (const Notice &notice : n.notices) {
        EXPECT_EQ(notice.title, title);
        EXPECT_EQ(notice.text, text);
        EXPECT_EQ(notice.icon, icon);
    }
    n.notices.clear();
}

} // namespace qm::test
