// Our side of the cryptography: conversions, passwords, the choice checks,
// the provider fallback and what each failure shows. The algorithms are the
// library's; one known answer per path stands for them (computed by the other
// platform's service).

#include "crypto/clscryptoapi.h"
#include "fakes.h"

#include <gtest/gtest.h>

namespace qm::test
{
namespace
{

// The real service, whose named or default provider can be made to fail; it
// records the providers asked for, so a release shows as a second request.
class RecordingService final : public crypto::Service
{
public:
    int namedFails = 0, defaultFails = 0; // error numbers, 0: works
    std::vector<std::string> requests;
    int acquireContext(std::string_view container, std::string_view provider, std::uint32_t type,
                       std::uint32_t flags, std::unique_ptr<crypto::Context> &context) override
    {
        requests.emplace_back(provider);
        if (const int rc = provider.empty() ? defaultFails : namedFails)
            return rc;
        return real_->acquireContext(container, provider, type, flags, context);
    }

private:
    std::unique_ptr<crypto::Service> real_ = crypto::makePlatformService();
};

ByteArray arrayOf(const std::string &text) // the class's array form: one trailing 0
{
    ByteArray out(text.begin(), text.end());
    out.push_back(0);
    return out;
}
ByteArray fromHex(const std::string &hex)
{
    ByteArray out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(std::uint8_t(std::stoi(hex.substr(i, 2), nullptr, 16)));
    out.push_back(0);
    return out;
}
ByteArray counting(std::size_t count, unsigned first = 0)
{
    ByteArray out;
    for (std::size_t j = 0; j < count; ++j)
        out.push_back(std::uint8_t(first + j));
    out.push_back(0);
    return out;
}
// The only notice shown, as "title|text"; cleared after.
std::string notice(FakeNotifier &n)
{
    EXPECT_EQ(n.notices.size(), 1u);
    const std::string seen = n.notices.empty() ? "" : n.notices[0].title + "|" + n.notices[0].text;
    n.notices.clear();
    return seen;
}

TEST(Conversions, HexTextAndRandomTexts)
{
    FakeNotifier n;
    clsCryptoAPI api(n);
    EXPECT_EQ(api.ConvertByteToHex({0x00, 0x0a, 0xFF, 0x20, 0x7e}), "000AFF20");
    EXPECT_EQ(api.ConvertStringToHex(std::string("a\x01\xfe  ", 5)), "6101FE2020");
    EXPECT_EQ(api.ConvertStringFromHex("6a6B002020"), std::string("jk\0", 3));
    EXPECT_EQ(api.ByteArrayToString({'a', ' ', 'b', ' ', 'X'}), "a b");
    EXPECT_TRUE(n.notices.empty());
    for (const char *bad : {"616", "6G", "61 2"}) {
        EXPECT_EQ(api.ConvertStringFromHex(bad), "") << bad;
        EXPECT_EQ(notice(n), "Data corrupted|Data string is corrupted.  Cannot be Decrypted.");
    }
    // Random texts: exact lengths, upper-case hex, salt characters.
    for (std::int32_t len : {1, 19, 64}) {
        SCOPED_TRACE(len);
        for (int i = 0; i < 20; ++i) // blank random bytes at the end must not shorten it
            EXPECT_EQ(api.CreateRandom(len, true, false).size(), std::size_t(len));
        const std::string hex = api.CreateRandom(len, true, true);
        EXPECT_EQ(hex.size(), std::size_t(len));
        EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos) << hex;
    }
    const std::string salt = api.CreateSaltValue(4000);
    ASSERT_EQ(salt.size(), 4000u);
    for (char c : salt)
        ASSERT_TRUE(std::isalnum(static_cast<unsigned char>(c)) && c != 'z') << c;
}

TEST(Hashes, ChoicesHexAndPasswords)
{
    FakeNotifier n;
    clsCryptoAPI api(n);
    // MD5 and SHA-1 of "abc": the test vectors of RFC 1321 and FIPS 180.
    EXPECT_EQ(api.CreateHash("abc", 1), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(api.ConvertStringToHex(api.CreateHash("abc", 4, false)),
              "A9993E364706816ABA3E25717850C26C9CD0D89D");
    EXPECT_NE(api.CreateHash("abc", 2), api.CreateHash("abc", 3));
    EXPECT_EQ(api.CreateHash("abc", 5), "");

    // No password set: a fixed built-in one of 20 characters is appended.
    const std::string withDefault = api.CreateHash("abc", 2, true, true);
    ByteArray none;
    api.Password(none);
    const ByteArray builtIn = api.Password();
    EXPECT_EQ(builtIn.size(), 21u);
    EXPECT_EQ(withDefault, api.CreateHash("abc" + api.ByteArrayToString(builtIn), 2));
    EXPECT_EQ(clsCryptoAPI(n).CreateHash("abc", 2, true, true), withDefault);

    ByteArray pw = arrayOf("sesame");
    api.Password(pw);
    EXPECT_TRUE(pw.empty()) << "the caller's copy is erased";
    EXPECT_EQ(api.CreateHash("abc", 1, true, true), api.CreateHash("abcsesame", 1));

    // Neither: a password of its own for each hash, never stored.
    api.UseDefaultPWD(false);
    ByteArray empty{0};
    api.Password(empty);
    EXPECT_NE(api.CreateHash("abc", 1, true, true), api.CreateHash("abc", 1, true, true));
    EXPECT_EQ(api.Password(), ByteArray{0});
}

// One call on a fresh instance, which must succeed without a notice.
ByteArray crypt(bool encrypting, bool enhanced, std::int16_t hash, std::int16_t cipher,
                ByteArray password, const ByteArray &input)
{
    FakeNotifier n;
    clsCryptoAPI api(n);
    api.EnhancedProvider(enhanced);
    api.Password(password);
    api.InputData(input);
    EXPECT_TRUE(encrypting ? api.Encrypt(hash, cipher) : api.Decrypt(hash, cipher));
    EXPECT_TRUE(n.notices.empty());
    return api.OutputData();
}

TEST(Encrypt, KnownAnswersAndRoundTripsOfEveryAllowedChoice)
{
    // clang-format off
    const struct { const char *name; bool enhanced; std::int16_t hash, cipher; ByteArray pw, plain;
        const char *hex; } known[] = {
        {"base provider, MD5, RC4", false, 1, 1, arrayOf("1134-kelp"), counting(32),
         "2659de2444fa369c110cbb9db6a2bd24042ee3ba7276f3278dd5b42f56cff8c9"},
        {"base provider, MD2, RC2", false, 3, 2, counting(2000), counting(13),
         "c09ae42f0a476711fb1887ce0c7507b1"},
        {"enhanced provider, MD2, Triple DES", true, 3, 4, counting(2000), counting(13),
         "7bbadda239d37bb3c751814153e8cfeb"}};
    // clang-format on
    for (const auto &[name, enhanced, hash, cipher, pw, plain, hex] : known) {
        SCOPED_TRACE(name);
        EXPECT_EQ(crypt(true, enhanced, hash, cipher, pw, plain), fromHex(hex));
        EXPECT_EQ(crypt(false, enhanced, hash, cipher, pw, fromHex(hex)), plain);
    }
    for (bool enhanced : {false, true})
        for (std::int16_t hash = 1; hash <= 4; ++hash)
            for (std::int16_t cipher = 1; cipher <= (enhanced ? 5 : 3); ++cipher) {
                SCOPED_TRACE(testing::Message() << enhanced << " " << hash << " " << cipher);
                // Fixed data give fixed results; none of these ends in a blank,
                // which InputData would drop.
                const ByteArray pw = arrayOf("battery"), plain = counting(13, 65);
                const ByteArray encrypted = crypt(true, enhanced, hash, cipher, pw, plain);
                EXPECT_EQ(encrypted.size(), (cipher == 1 ? 13u : 16u) + 1);
                EXPECT_EQ(crypt(false, enhanced, hash, cipher, pw, encrypted), plain);
            }
    // No password: the built-in one is stored unless that is turned off.
    FakeNotifier n;
    clsCryptoAPI api(n), without(n);
    without.UseDefaultPWD(false);
    for (clsCryptoAPI *a : {&api, &without}) {
        a->InputData(arrayOf("data"));
        ASSERT_TRUE(a->Encrypt(1, 1));
    }
    EXPECT_EQ(api.Password().size(), 21u);
    EXPECT_EQ(without.Password(), ByteArray{0});
    EXPECT_NE(api.OutputData(), without.OutputData());
}

TEST(Provider, ARefusedChoiceGivesItUpAndAMissingOneFallsBackToTheDefault)
{
    FakeNotifier n;
    RecordingService service;
    clsCryptoAPI api(n, service);
    const std::string base =
        "Wrong Cipher Selection|Default provider does not support Triple DES ciphers.";
    // clang-format off
    const struct { const char *name; bool enhanced; std::int16_t hash, cipher; std::string text; }
        rows[] = {
        {"Triple DES on the base provider", false, 1, 4, base},
        {"two-key Triple DES on the base provider", false, 1, 5, base},
        {"cipher 0", false, 1, 0, base},
        {"cipher 6 on the enhanced provider", true, 1, 6,
         "Wrong Cipher Selection|Enhanced provider does not support cipher selected."},
        {"hash 5", false, 5, 1,
         "Wrong Encrypt Hash Selection|This hash selection is not supported."}};
    // clang-format on
    for (const auto &[name, enhanced, hash, cipher, text] : rows) {
        SCOPED_TRACE(name);
        api.EnhancedProvider(enhanced);
        api.InputData(arrayOf("data"));
        ASSERT_NE(api.CreateHash("x"), "");
        EXPECT_FALSE(api.Encrypt(hash, cipher));
        EXPECT_EQ(notice(n), text);
        EXPECT_TRUE(api.OutputData().empty());
        service.requests.clear();
        EXPECT_NE(api.CreateHash("x"), "");
        EXPECT_EQ(service.requests.size(), 1u) << "the provider was given up";
    }
    api.InputData(counting(3, 65));
    EXPECT_FALSE(api.Encrypt(1, 3)); // a block cipher needs four bytes
    EXPECT_EQ(notice(n), "Encryption Errors|Bytes required:6\r\n\r\nError: 4 during CryptEncrypt!");
    api.InputData(counting(7, 65));
    EXPECT_FALSE(api.Decrypt(1, 3)); // not a whole block
    EXPECT_EQ(notice(n), "Decryption Errors|Error 5 during CryptDecrypt!");

    // The named provider is asked for once and kept; when it is missing, the default one.
    service.requests.clear();
    clsCryptoAPI named(n, service);
    named.EnhancedProvider(true);
    EXPECT_NE(named.CreateHash("x"), "");
    EXPECT_NE(named.CreateHash("y"), ""); // the provider is kept
    service.namedFails = crypto::kNoProvider;
    EXPECT_NE(clsCryptoAPI(n, service).CreateHash("x"), "");
    EXPECT_EQ(service.requests, (std::vector<std::string>{std::string(crypto::kEnhancedProvider),
                                                          std::string(crypto::kBaseProvider), ""}));
    EXPECT_TRUE(n.notices.empty());

    service.defaultFails = 42;
    EXPECT_EQ(clsCryptoAPI(n, service).CreateHash("abc"), "");
    EXPECT_EQ(notice(n), "Cannot access CryptoAPI|Error creating DEFAULT key container - 42");
}

} // namespace
} // namespace qm::test
