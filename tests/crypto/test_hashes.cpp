// CreateHash, passwords and provider acquisition.

#include "cryptotest.h"
#include "faultyservice.h"

#include <gtest/gtest.h>

namespace qm::test
{
namespace
{

const std::string kMd5Abc = "900150983CD24FB0D6963F7D28E17F72";

class Hashes : public ::testing::Test
{
protected:
    FakeNotifier notifier;
    clsCryptoAPI api{notifier};
};

TEST_F(Hashes, KnownDigestsInUpperCaseHexOrRaw)
{
    const ByteArray long2000 = counting(2000);
    // RFC 1319/1320/1321 test suites and FIPS 180-1 appendix A; the last two
    // rows were computed by the other platform's cryptography service.
    const std::tuple<std::int16_t, std::string, std::string> rows[] = {
        {1, "", "D41D8CD98F00B204E9800998ECF8427E"},
        {1, "abc", kMd5Abc},
        {2, "abc", "A448017AAF21D8525FC10AE87AA6729D"},
        {2, "message digest", "D9130A8164549FE818874806E1C7014B"},
        {3, "abc", "DA853B0D3F88D99B30283A69E6DED6BB"},
        {3, "message digest", "AB4F496BFB2A530B219FF33031FE06B0"},
        {4, "abc", "A9993E364706816ABA3E25717850C26C9CD0D89D"},
        {1, "1134-kelp", "7340E6E274B8EA399395AA29D638B52A"},
        {3, std::string(long2000.begin(), long2000.end() - 1), "D5E1A7E9AC38C127F7731DBA811698E0"},
    };
    for (const auto &[choice, input, hex] : rows) {
        SCOPED_TRACE(hex);
        EXPECT_EQ(api.CreateHash(input, choice), hex);
        EXPECT_EQ(api.CreateHash(input, choice, true, false, true), hex);
        // Raw: one character per byte.
        EXPECT_EQ(api.ConvertStringToHex(api.CreateHash(input, choice, false)), hex);
    }
    // The defaults: MD5 in hex, of nothing.
    EXPECT_EQ(api.CreateHash("abc"), kMd5Abc);
    EXPECT_EQ(api.CreateHash(), std::get<2>(rows[0]));
    for (std::int16_t unsupported : std::initializer_list<std::int16_t>{0, 5, -1, 32767})
        EXPECT_EQ(api.CreateHash("abc", unsupported), "") << unsupported;
    EXPECT_TRUE(notifier.notices.empty());
}

TEST_F(Hashes, AppendsTheSetPassword)
{
    ByteArray pw = arrayOf("sesame");
    api.Password(pw);
    EXPECT_TRUE(pw.empty()) << "the caller's copy is erased";
    EXPECT_EQ(api.Password(), arrayOf("sesame"));
    EXPECT_EQ(api.CreateHash("abc", 1, true, true), api.CreateHash("abcsesame", 1));
}

TEST_F(Hashes, AppendsTheBuiltInPasswordWhenNoneIsSet)
{
    const std::string withDefault = api.CreateHash("abc", 2, true, true);
    EXPECT_EQ(api.CreateHash("abc", 2, true, true), withDefault);

    ByteArray empty{0};
    api.Password(empty);
    const ByteArray builtIn = api.Password();
    ASSERT_EQ(builtIn.size(), 21u);
    EXPECT_EQ(builtIn.back(), 0);
    for (std::size_t i = 0; i < 20; ++i)
        EXPECT_TRUE(std::isalnum(builtIn[i])) << i;
    EXPECT_EQ(withDefault, api.CreateHash("abc" + api.ByteArrayToString(builtIn), 2));

    clsCryptoAPI other(notifier);
    ByteArray none;
    other.Password(none);
    EXPECT_EQ(other.Password(), builtIn) << "the built-in password is fixed";
}

TEST_F(Hashes, NoPasswordAndNoDefaultGivesADifferentHashEachCall)
{
    api.UseDefaultPWD(false);
    ByteArray empty{0};
    api.Password(empty);
    EXPECT_EQ(api.Password(), ByteArray{0});
    const std::string a = api.CreateHash("abc", 1, true, true);
    EXPECT_EQ(a.size(), 32u);
    EXPECT_NE(a, api.CreateHash("abc", 1, true, true));
    EXPECT_NE(a, api.CreateHash("abc", 1));
    EXPECT_EQ(api.Password(), ByteArray{0}) << "the random password is not stored";
}

using Requests = std::vector<FaultyService::Request>;

TEST(Provider, AsksForTheNamedProviderThenTheDefault)
{
    FakeNotifier notifier;
    FaultyService service;
    {
        clsCryptoAPI api(notifier, service);
        api.EnhancedProvider(true);
        EXPECT_NE(api.CreateHash("x"), "");
        EXPECT_NE(api.CreateHash("y"), "");
        EXPECT_EQ(service.liveContexts, 1) << "acquired once, kept";
    }
    EXPECT_EQ(service.liveContexts, 0) << "released with the instance";
    EXPECT_EQ(service.requests,
              (Requests{{"Microsoft Enhanced Cryptographic Provider v1.0", 0xF0000000u}}));

    service.requests.clear();
    service.failAlways("acquireNamed", crypto::kNoProvider);
    clsCryptoAPI api(notifier, service);
    EXPECT_EQ(api.CreateHash("abc"), kMd5Abc);
    EXPECT_EQ(service.requests,
              (Requests{{"Microsoft Base Cryptographic Provider v1.0", 0xF0000000u}, {"", 8u}}));
    EXPECT_TRUE(notifier.notices.empty());
}

TEST(Provider, NoProviderShowsBoxAndEveryOperationFails)
{
    FakeNotifier notifier;
    FaultyService service;
    service.failAlways("acquireNamed", crypto::kNoProvider);
    service.failAlways("acquireDefault", 42);
    clsCryptoAPI api(notifier, service);
    api.InputData(arrayOf("some data"));
    EXPECT_EQ(api.CreateHash("abc"), "");
    EXPECT_EQ(api.CreateRandom(8, true, true), "");
    EXPECT_FALSE(api.Encrypt());
    EXPECT_FALSE(api.Decrypt());
    EXPECT_TRUE(api.OutputData().empty());
    expectNotices(notifier, "Cannot access CryptoAPI", "Error creating DEFAULT key container - 42",
                  NoticeIcon::Critical, 4);
}

TEST(Provider, ServiceFailuresInCreateHashGiveEmptySilently)
{
    for (const char *op : {"createHash", "hashData", "hashValue"}) {
        SCOPED_TRACE(op);
        FakeNotifier notifier;
        FaultyService service;
        service.failAlways(op, crypto::kBadAlgorithm);
        clsCryptoAPI api(notifier, service);
        EXPECT_EQ(api.CreateHash("abc"), "");
        EXPECT_TRUE(notifier.notices.empty());
        EXPECT_EQ(service.liveHashes, 0);
    }
}

} // namespace
} // namespace qm::test
