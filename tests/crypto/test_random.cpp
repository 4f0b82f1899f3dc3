// CreateRandom, CreateSaltValue and Rnd2.

#include "cryptotest.h"
#include "faultyservice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

namespace qm::test
{
namespace
{

bool isUpperHex(const std::string &s)
{
    return s.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

class Random : public ::testing::Test
{
protected:
    FakeNotifier notifier;
    clsCryptoAPI api{notifier};
};

TEST_F(Random, ExactLengthGivesExactlyThatMany)
{
    for (std::int32_t n : {1, 5, 19, 20, 21, 64, 1000}) {
        SCOPED_TRACE(n);
        for (int i = 0; i < 20; ++i) // blank random bytes at the end must not shorten it
            EXPECT_EQ(api.CreateRandom(n, true, false).size(), static_cast<std::size_t>(n));
        const std::string hex = api.CreateRandom(n, true, true);
        EXPECT_EQ(hex.size(), static_cast<std::size_t>(n));
        EXPECT_TRUE(isUpperHex(hex)) << hex;
    }
    EXPECT_NE(api.CreateRandom(16, true, true), api.CreateRandom(16, true, true));
    EXPECT_EQ(api.CreateRandom(0, true, true), "");
    EXPECT_EQ(api.CreateRandom(-3, true, false), "");
    EXPECT_TRUE(notifier.notices.empty());
}

TEST_F(Random, WithoutExactLengthTrailingBlanksAreDropped)
{
    const std::string bytes = api.CreateRandom(64, false, false);
    EXPECT_LE(bytes.size(), 64u);
    EXPECT_GE(bytes.size(), 32u);
    EXPECT_NE(bytes.back(), ' ');
    const std::string hex = api.CreateRandom(64, false, true);
    EXPECT_EQ(hex.size() % 2, 0u);
    EXPECT_LE(hex.size(), 128u);
    EXPECT_TRUE(isUpperHex(hex));
    // A short request keeps the rest of the 20-byte seed hash behind it.
    const std::string shortOne = api.CreateRandom(4, false, false);
    EXPECT_GT(shortOne.size(), 4u);
    EXPECT_LE(shortOne.size(), 20u);
}

TEST(RandomFailure, ServiceFailureGivesEmpty)
{
    FakeNotifier notifier;
    FaultyService service;
    service.failAlways("genRandom", crypto::kRandomFailed);
    clsCryptoAPI api(notifier, service);
    EXPECT_EQ(api.CreateRandom(16, true, true), "");
    EXPECT_EQ(api.CreateSaltValue(16, false), "");
    EXPECT_TRUE(notifier.notices.empty());
}

TEST_F(Random, SaltHoldsOnlyDigitsAndLettersWithoutZ)
{
    EXPECT_EQ(api.CreateSaltValue().size(), 16u);
    EXPECT_NE(api.CreateSaltValue(), api.CreateSaltValue());
    EXPECT_EQ(api.CreateSaltValue(16, false).size(), 16u);
    EXPECT_NE(api.CreateSaltValue(16, false), api.CreateSaltValue(16, false));
    EXPECT_EQ(api.CreateSaltValue(0), "");

    std::map<char, int> counts;
    const std::string salt = api.CreateSaltValue(40000);
    ASSERT_EQ(salt.size(), 40000u);
    for (char c : salt)
        ++counts[c];
    for (const auto &[c, n] : counts)
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) && c != 'z') << c;
    // 74 draws fold onto 61 characters: C-I and d-i take two draws each.
    const double single = 40000.0 / 74;
    for (char c : std::string("0123456789ABJKXYZabcjkxy"))
        EXPECT_NEAR(counts[c], single, single * 0.35) << c;
    for (char c : std::string("CDEFGHIdefghi"))
        EXPECT_NEAR(counts[c], 2 * single, single * 0.5) << c;
}

TEST_F(Random, Rnd2StaysInItsHalfOpenRange)
{
    std::vector<float> draws(20000);
    std::generate(draws.begin(), draws.end(), [&] { return api.Rnd2(48, 122); });
    const auto [lowest, highest] = std::minmax_element(draws.begin(), draws.end());
    EXPECT_GE(*lowest, 48.0f);
    EXPECT_LT(*lowest, 49.0f);
    EXPECT_LT(*highest, 122.0f);
    EXPECT_GT(*highest, 121.0f);
    // So narrow that single precision rounds most draws onto the bounds.
    for (int i = 0; i < 1000; ++i)
        EXPECT_LT(api.Rnd2(121.99999f, 122.0f), 122.0f);
}

} // namespace
} // namespace qm::test
