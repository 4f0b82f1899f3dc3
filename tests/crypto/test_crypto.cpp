// Our side of the cryptography: conversions, passwords, the choice checks,
// the provider fallback, what each failure shows and that it releases
// everything. The algorithms themselves are the library's; one known answer
// per path stands for them (computed by the other platform's service).

#include "crypto/clscryptoapi.h"
#include "fakes.h"
#include "faultyservice.h"

#include <gtest/gtest.h>

namespace qm::test
{
namespace
{

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

TEST(Conversions, HexIsUpperCaseAndTextDropsTheTrailingElementAndBlanks)
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
}

TEST(Hashes, ChoicesHexAndPasswords)
{
    FakeNotifier n;
    clsCryptoAPI api(n);
    EXPECT_EQ(api.CreateHash("abc", 1), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(api.ConvertStringToHex(api.CreateHash("abc", 4, false)),
              "A9993E364706816ABA3E25717850C26C9CD0D89D");
    EXPECT_NE(api.CreateHash("abc", 2), api.CreateHash("abc", 3));
    EXPECT_EQ(api.CreateHash("abc", 5), "");

    // No password set: the fixed built-in one of 20 letters and digits is appended.
    const std::string withDefault = api.CreateHash("abc", 2, true, true);
    ByteArray none;
    api.Password(none);
    const ByteArray builtIn = api.Password();
    ASSERT_EQ(builtIn.size(), 21u);
    for (std::size_t i = 0; i < 20; ++i)
        EXPECT_TRUE(std::isalnum(builtIn[i])) << i;
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

struct Params {
    bool enhanced = false;
    std::int16_t hash = 1, cipher = 1;
    ByteArray password = {}; // empty: none set
    bool useDefault = true;
};

// One call on a fresh instance, which must succeed without a notice.
ByteArray crypt(bool encrypting, const Params &s, const ByteArray &input)
{
    FakeNotifier n;
    clsCryptoAPI api(n);
    api.EnhancedProvider(s.enhanced);
    api.UseDefaultPWD(s.useDefault);
    if (ByteArray pw = s.password; !pw.empty())
        api.Password(pw);
    api.InputData(input);
    EXPECT_TRUE(encrypting ? api.Encrypt(s.hash, s.cipher) : api.Decrypt(s.hash, s.cipher));
    EXPECT_TRUE(n.notices.empty());
    return api.OutputData();
}

TEST(Encrypt, KnownAnswersAndRoundTripsOfEveryAllowedChoice)
{
    const std::tuple<Params, ByteArray, const char *> known[] = {
        {{false, 1, 1, arrayOf("1134-kelp")},
         counting(32),
         "2659de2444fa369c110cbb9db6a2bd24042ee3ba7276f3278dd5b42f56cff8c9"},
        {{false, 3, 2, counting(2000)}, counting(13), "c09ae42f0a476711fb1887ce0c7507b1"},
        {{true, 3, 4, counting(2000)}, counting(13), "7bbadda239d37bb3c751814153e8cfeb"},
    };
    for (const auto &[setup, plain, hex] : known) {
        SCOPED_TRACE(hex);
        EXPECT_EQ(crypt(true, setup, plain), fromHex(hex));
        EXPECT_EQ(crypt(false, setup, fromHex(hex)), plain);
    }
    for (bool enhanced : {false, true})
        for (std::int16_t hash = 1; hash <= 4; ++hash)
            for (std::int16_t cipher = 1; cipher <= (enhanced ? 5 : 3); ++cipher) {
                SCOPED_TRACE(testing::Message() << enhanced << " " << hash << " " << cipher);
                const Params s{enhanced, hash, cipher, arrayOf("correct horse")};
                // InputData drops a trailing blank: take a sample that avoids one.
                ByteArray plain, encrypted;
                unsigned first = 65;
                do {
                    plain = counting(13, first++);
                    encrypted = crypt(true, s, plain);
                } while (encrypted.size() >= 2 && encrypted[encrypted.size() - 2] == ' ');
                EXPECT_EQ(encrypted.size(), (cipher == 1 ? 13u : 16u) + 1);
                EXPECT_EQ(crypt(false, s, encrypted), plain);
            }
    // An empty password stores the built-in one unless that is turned off.
    FakeNotifier n;
    clsCryptoAPI api(n);
    api.InputData(arrayOf("data"));
    ASSERT_TRUE(api.Encrypt(1, 1));
    EXPECT_EQ(api.Password().size(), 21u);
    EXPECT_NE(api.OutputData(), crypt(true, {.useDefault = false}, arrayOf("data")));
}

TEST(Encrypt, RefusedChoiceShowsBoxAndGivesUpTheProvider)
{
    FakeNotifier n;
    FaultyService service;
    clsCryptoAPI api(n, service);
    const std::string base =
        "Wrong Cipher Selection|Default provider does not support Triple DES ciphers.";
    const std::tuple<bool, std::int16_t, std::int16_t, std::string> rows[] = {
        {false, 1, 4, base},
        {false, 1, 5, base},
        {false, 1, 0, base},
        {true, 1, 6, "Wrong Cipher Selection|Enhanced provider does not support cipher selected."},
        {false, 5, 1, "Wrong Encrypt Hash Selection|This hash selection is not supported."}};
    for (const auto &[enhanced, hash, cipher, text] : rows) {
        SCOPED_TRACE(text);
        api.EnhancedProvider(enhanced);
        api.InputData(arrayOf("data"));
        ASSERT_NE(api.CreateHash("x"), "");
        EXPECT_FALSE(api.Encrypt(hash, cipher));
        EXPECT_EQ(notice(n), text);
        EXPECT_EQ(service.liveContexts, 0);
        EXPECT_TRUE(api.OutputData().empty());
    }
    api.InputData(counting(3, 65));
    EXPECT_FALSE(api.Encrypt(1, 3)); // a block cipher needs four bytes
    EXPECT_EQ(notice(n), "Encryption Errors|Bytes required:6\r\n\r\nError: 4 during CryptEncrypt!");
    api.InputData(counting(7, 65));
    EXPECT_FALSE(api.Decrypt(1, 3)); // not a whole block
    EXPECT_EQ(notice(n), "Decryption Errors|Error 5 during CryptDecrypt!");
}

TEST(Provider, NamedThenDefaultAndNoneShowsTheBox)
{
    FakeNotifier n;
    FaultyService service;
    {
        clsCryptoAPI api(n, service);
        api.EnhancedProvider(true);
        EXPECT_NE(api.CreateHash("x"), "");
        EXPECT_NE(api.CreateHash("y"), "");
        EXPECT_EQ(service.liveContexts, 1) << "acquired once, kept";
    }
    EXPECT_EQ(service.liveContexts, 0) << "released with the instance";
    service.failAlways("acquireNamed", crypto::kNoProvider);
    EXPECT_NE(clsCryptoAPI(n, service).CreateHash("x"), "");
    EXPECT_EQ(service.requests, (std::vector<std::string>{std::string(crypto::kEnhancedProvider),
                                                          std::string(crypto::kBaseProvider), ""}));
    EXPECT_TRUE(n.notices.empty());

    service.failAlways("acquireDefault", 42);
    clsCryptoAPI api(n, service);
    EXPECT_EQ(api.CreateHash("abc"), "");
    EXPECT_EQ(notice(n), "Cannot access CryptoAPI|Error creating DEFAULT key container - 42");
}

TEST(Provider, ServiceFailuresShowTheirStepAndReleaseEverything)
{
    const ByteArray plain = counting(8, 65);
    const ByteArray encrypted = crypt(true, {.cipher = 3}, plain);
    // op, then the notice when encrypting and when decrypting ("": succeeds)
    const std::tuple<const char *, std::string, std::string> rows[] = {
        {"createHash", "Error: 61 during CryptCreateHash!", "Error: 61 during CryptCreateHash!"},
        {"deriveKey", "Error: 61 during CryptDeriveKey!", "Error: 61 during CryptDeriveKey!"},
        {"encrypt", "Bytes required:16\r\n\r\nError: 61 during CryptEncrypt!", ""},
        {"decrypt", "", "Error 61 during CryptDecrypt!"},
    };
    for (const auto &[op, encryptText, decryptText] : rows) {
        SCOPED_TRACE(op);
        FaultyService s;
        s.failAlways(op, 61);
        FakeNotifier n;
        clsCryptoAPI a(n, s);
        for (bool encrypting : {true, false}) {
            const std::string &text = encrypting ? encryptText : decryptText;
            a.InputData(encrypting ? plain : encrypted);
            EXPECT_EQ(encrypting ? a.Encrypt(1, 3) : a.Decrypt(1, 3), text.empty());
            if (!text.empty()) {
                EXPECT_EQ(notice(n),
                          (encrypting ? "Encryption Errors|" : "Decryption Errors|") + text);
            }
            EXPECT_EQ(s.liveHashes + s.liveKeys, 0);
        }
    }
}

TEST(Random, ExactLengthUpperCaseHexAndSaltCharacters)
{
    FakeNotifier n;
    clsCryptoAPI api(n);
    for (std::int32_t len : {1, 19, 21, 64}) {
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

} // namespace
} // namespace qm::test
