// Password-based Encrypt and Decrypt: known answers from the other platform's
// cryptography service, round trips, refusals and service failures.

#include "cryptotest.h"
#include "faultyservice.h"

#include <gtest/gtest.h>

#include <new>

namespace qm::test
{
namespace
{

struct KnownAnswer {
    const char *name;
    bool enhanced;
    std::int16_t hash, cipher;
    ByteArray password;
    ByteArray plain;
    std::string cipherHex;
};

// Computed by the base and enhanced RSA providers of the other platform.
std::vector<KnownAnswer> knownAnswers()
{
    return {
        {"RC4 base, MD5", false, 1, 1, arrayOf("1134-kelp"), counting(32),
         "2659de2444fa369c110cbb9db6a2bd24042ee3ba7276f3278dd5b42f56cff8c9"},
        {"RC2 base, MD2", false, 3, 2, counting(2000), counting(13),
         "c09ae42f0a476711fb1887ce0c7507b1"},
        // Key 1d2879e482f2d02ed400ef4f6fff4d54db5a6856318ad424, stretched from MD2.
        {"3DES enhanced, MD2", true, 3, 4, counting(2000), counting(13),
         "7bbadda239d37bb3c751814153e8cfeb"},
    };
}

TEST(KnownAnswers, EncryptMatchesAndDecryptGivesThePlainTextBack)
{
    for (auto &k : knownAnswers()) {
        SCOPED_TRACE(k.name);
        FakeNotifier notifier;
        clsCryptoAPI api(notifier);
        api.EnhancedProvider(k.enhanced);
        ByteArray pw = k.password;
        api.Password(pw);
        api.InputData(k.plain);
        ASSERT_TRUE(api.Encrypt(k.hash, k.cipher));
        EXPECT_EQ(lower(api.ConvertByteToHex(api.OutputData())), k.cipherHex);
        EXPECT_EQ(api.OutputData().back(), 0);

        api.InputData(arrayFromHex(k.cipherHex));
        ASSERT_TRUE(api.Decrypt(k.hash, k.cipher));
        EXPECT_EQ(api.OutputData(), k.plain);
        EXPECT_TRUE(notifier.notices.empty());
    }
}

struct Combo {
    bool enhanced;
    std::int16_t hash, cipher;
};

std::vector<Combo> allowedCombos()
{
    std::vector<Combo> out;
    for (bool enhanced : {false, true})
        for (std::int16_t hash = 1; hash <= 4; ++hash)
            for (std::int16_t cipher = 1; cipher <= (enhanced ? 5 : 3); ++cipher)
                out.push_back({enhanced, hash, cipher});
    return out;
}

class RoundTrip : public ::testing::TestWithParam<Combo>
{
};

TEST_P(RoundTrip, DecryptsInAFreshInstance)
{
    const Combo c = GetParam();
    const ByteArray password = arrayOf("correct horse");
    // A blank at the end of the encrypted bytes would be dropped on the way
    // back through InputData; take the first sample that avoids it.
    for (std::size_t len : {4u, 8u, 13u, 100u}) {
        SCOPED_TRACE(len);
        ByteArray plain;
        ByteArray encrypted;
        for (unsigned first = 33;; ++first) {
            plain = counting(len, first);
            FakeNotifier notifier;
            clsCryptoAPI api(notifier);
            api.EnhancedProvider(c.enhanced);
            ByteArray pw = password;
            api.Password(pw);
            api.InputData(plain);
            ASSERT_TRUE(api.Encrypt(c.hash, c.cipher));
            encrypted = api.OutputData();
            if (encrypted.size() < 2 || encrypted[encrypted.size() - 2] != ' ')
                break;
        }
        const std::size_t expected = c.cipher == 1 ? len : (len / 8 + 1) * 8;
        EXPECT_EQ(encrypted.size(), expected + 1);
        EXPECT_NE(encrypted, plain);

        FakeNotifier notifier;
        clsCryptoAPI api(notifier);
        api.EnhancedProvider(c.enhanced);
        ByteArray pw = password;
        api.Password(pw);
        api.InputData(encrypted);
        ASSERT_TRUE(api.Decrypt(c.hash, c.cipher));
        EXPECT_EQ(api.OutputData(), plain);
        EXPECT_TRUE(notifier.notices.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(EveryAllowedCombination, RoundTrip, ::testing::ValuesIn(allowedCombos()),
                         [](const auto &p) {
                             return std::string(p.param.enhanced ? "Enhanced" : "Base") + "_Hash" +
                                    std::to_string(p.param.hash) + "_Cipher" +
                                    std::to_string(p.param.cipher);
                         });

class Crypt : public ::testing::Test
{
protected:
    ByteArray encrypt(bool enhanced, std::int16_t cipher, bool useDefault = true)
    {
        FakeNotifier n;
        clsCryptoAPI a(n);
        a.EnhancedProvider(enhanced);
        a.UseDefaultPWD(useDefault);
        a.InputData(arrayOf("the same data"));
        EXPECT_TRUE(a.Encrypt(1, cipher));
        return a.OutputData();
    }
    void expectOneNotice(const std::string &title, const std::string &text, NoticeIcon icon)
    {
        ASSERT_EQ(notifier.notices.size(), 1u);
        EXPECT_EQ(notifier.notices[0].title, title);
        EXPECT_EQ(notifier.notices[0].text, text);
        EXPECT_EQ(notifier.notices[0].icon, icon);
        notifier.notices.clear();
    }
    FakeNotifier notifier;
    FaultyService service;
    clsCryptoAPI api{notifier, service};
};

TEST_F(Crypt, ProvidersDeriveDifferentKeys)
{
    EXPECT_NE(encrypt(false, 1), encrypt(true, 1)) << "RC4 40 against 128 bits";
    EXPECT_NE(encrypt(false, 2), encrypt(true, 2)) << "RC2 40 against 128 bits";
    EXPECT_EQ(encrypt(false, 3), encrypt(true, 3)) << "DES is the same on both";
}

TEST_F(Crypt, EmptyPasswordStoresTheBuiltInOneUnlessTurnedOff)
{
    api.InputData(arrayOf("the same data"));
    ASSERT_TRUE(api.Encrypt(1, 1));
    EXPECT_EQ(api.Password().size(), 21u);
    EXPECT_EQ(api.OutputData(), encrypt(false, 1));

    const ByteArray noPassword = encrypt(false, 1, false);
    EXPECT_NE(noPassword, api.OutputData());
    FakeNotifier n;
    clsCryptoAPI other(n);
    other.UseDefaultPWD(false);
    other.InputData(noPassword);
    ASSERT_TRUE(other.Decrypt(1, 1));
    EXPECT_EQ(other.OutputData(), arrayOf("the same data"));
    EXPECT_EQ(other.Password(), ByteArray{0});
}

TEST_F(Crypt, RefusedCipherShowsBoxAndGivesUpProvider)
{
    struct Row {
        bool enhanced;
        std::int16_t cipher;
        const char *text;
    };
    const char *base = "Default provider does not support Triple DES ciphers.";
    const char *enh = "Enhanced provider does not support cipher selected.";
    for (const Row &r : {Row{false, 4, base}, Row{false, 5, base}, Row{false, 0, base},
                         Row{false, 6, base}, Row{true, 0, enh}, Row{true, 6, enh}}) {
        SCOPED_TRACE(r.cipher);
        for (bool encrypting : {true, false}) {
            api.EnhancedProvider(r.enhanced);
            api.InputData(arrayOf("data"));
            ASSERT_NE(api.CreateHash("x"), "");
            EXPECT_EQ(service.liveContexts, 1);
            EXPECT_FALSE(encrypting ? api.Encrypt(1, r.cipher) : api.Decrypt(1, r.cipher));
            expectOneNotice("Wrong Cipher Selection", r.text, NoticeIcon::Exclamation);
            EXPECT_EQ(service.liveContexts, 0);
            EXPECT_TRUE(api.OutputData().empty());
        }
    }
}

TEST_F(Crypt, RefusedHashShowsBoxAndGivesUpProvider)
{
    api.InputData(arrayOf("data"));
    for (std::int16_t hash : std::initializer_list<std::int16_t>{0, 5}) {
        ASSERT_NE(api.CreateHash("x"), "");
        EXPECT_FALSE(api.Encrypt(hash, 1));
        expectOneNotice("Wrong Encrypt Hash Selection", "This hash selection is not supported.",
                        NoticeIcon::Exclamation);
        EXPECT_EQ(service.liveContexts, 0);
        EXPECT_FALSE(api.Decrypt(hash, 1));
        expectOneNotice("Wrong Decrypt Hash Selection", "This hash selection is not supported.",
                        NoticeIcon::Exclamation);
    }
    EXPECT_TRUE(api.Encrypt(1, 1)) << "a later call acquires a provider again";
}

TEST_F(Crypt, BlockCipherNeedsFourBytes)
{
    for (std::int16_t cipher : std::initializer_list<std::int16_t>{2, 3, 4, 5}) {
        SCOPED_TRACE(cipher);
        api.EnhancedProvider(true);
        for (std::size_t n : {1u, 2u, 3u}) {
            api.InputData(counting(n, 65));
            EXPECT_FALSE(api.Encrypt(1, cipher));
            expectOneNotice("Encryption Errors",
                            "Bytes required:" + std::to_string(2 * n) +
                                "\r\n\r\nError: 4 during CryptEncrypt!",
                            NoticeIcon::Exclamation);
            EXPECT_TRUE(api.OutputData().empty());
        }
        api.InputData(counting(4, 65));
        EXPECT_TRUE(api.Encrypt(1, cipher));
        EXPECT_EQ(api.OutputData().size(), 9u);
    }
    api.InputData(counting(1, 65));
    EXPECT_TRUE(api.Encrypt(1, 1)) << "RC4 is a stream cipher";
    EXPECT_EQ(api.OutputData().size(), 2u);
}

TEST_F(Crypt, InputDataDropsTrailingBlanks)
{
    api.InputData(arrayOf("ab  "));
    ASSERT_TRUE(api.Encrypt(1, 1));
    EXPECT_EQ(api.OutputData().size(), 3u);
}

TEST_F(Crypt, BadCipherTextFailsToDecrypt)
{
    api.InputData(counting(7, 65));
    EXPECT_FALSE(api.Decrypt(1, 3));
    expectOneNotice("Decryption Errors", "Error 5 during CryptDecrypt!", NoticeIcon::Exclamation);

    // Right length, wrong password: the padding does not check out.
    api.InputData(arrayFromHex("c09ae42f0a476711fb1887ce0c7507b1"));
    EXPECT_FALSE(api.Decrypt(3, 2));
    expectOneNotice("Decryption Errors", "Error 5 during CryptDecrypt!", NoticeIcon::Exclamation);
    EXPECT_TRUE(api.OutputData().empty());
}

TEST_F(Crypt, ProviderSwitchedToEnhancedAfterAcquiringBase)
{
    ASSERT_NE(api.CreateHash("x"), "");
    api.EnhancedProvider(true);
    api.InputData(arrayOf("data"));
    EXPECT_FALSE(api.Encrypt(1, 4));
    expectOneNotice("Encryption Errors", "Error: 2 during CryptDeriveKey!",
                    NoticeIcon::Exclamation);
}

TEST_F(Crypt, ServiceFailuresShowTheirStepAndReleaseEverything)
{
    const ByteArray plain = counting(8, 65);
    ByteArray encrypted;
    {
        FakeNotifier n;
        clsCryptoAPI clean(n);
        clean.InputData(plain);
        ASSERT_TRUE(clean.Encrypt(1, 3));
        encrypted = clean.OutputData();
    }
    struct Row {
        const char *op;
        const char *encryptText; // nullptr: encryption succeeds
        const char *decryptText;
    };
    const Row rows[] = {
        {"createHash", "Error: 61 during CryptCreateHash!", "Error: 61 during CryptCreateHash!"},
        {"hashData", "Error: 61 during CryptHashData!", "Error: 61 during CryptHashData!"},
        {"deriveKey", "Error: 61 during CryptDeriveKey!", "Error: 61 during CryptDeriveKey!"},
        {"encrypt", "Bytes required:16\r\n\r\nError: 61 during CryptEncrypt!", nullptr},
        {"decrypt", nullptr, "Error 61 during CryptDecrypt!"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.op);
        FaultyService s;
        s.failAlways(r.op, 61);
        FakeNotifier n;
        clsCryptoAPI a(n, s);
        for (bool encrypting : {true, false}) {
            const char *text = encrypting ? r.encryptText : r.decryptText;
            a.InputData(encrypting ? plain : encrypted);
            EXPECT_EQ(encrypting ? a.Encrypt(1, 3) : a.Decrypt(1, 3), text == nullptr);
            if (text == nullptr) {
                EXPECT_EQ(a.OutputData(), encrypting ? encrypted : plain);
                EXPECT_TRUE(n.notices.empty());
            } else {
                EXPECT_TRUE(a.OutputData().empty());
                ASSERT_EQ(n.notices.size(), 1u);
                EXPECT_EQ(n.notices[0].title,
                          encrypting ? "Encryption Errors" : "Decryption Errors");
                EXPECT_EQ(n.notices[0].text, text);
                EXPECT_EQ(n.notices[0].icon, NoticeIcon::Exclamation);
                n.notices.clear();
            }
            EXPECT_EQ(s.liveHashes, 0);
            EXPECT_EQ(s.liveKeys, 0);
        }
    }
}

TEST_F(Crypt, RunTimeErrorsShowCriticalBoxAndGiveFalse)
{
    service.throwAlways("encrypt", std::make_exception_ptr(std::runtime_error("boom")));
    service.throwAlways("decrypt", std::make_exception_ptr(std::bad_alloc()));
    api.InputData(counting(8, 65));
    EXPECT_FALSE(api.Encrypt(1, 3));
    expectOneNotice("Encryption Error",
                    "Error: 5  boom\r\n\r\nA critical error ocurred during the encryption process.",
                    NoticeIcon::Critical);
    EXPECT_EQ(service.liveKeys, 0);
    EXPECT_FALSE(api.Decrypt(1, 3));
    expectOneNotice("Decryption Errors",
                    "Error: 7  std::bad_alloc\r\n\r\nA critical error ocurred during the "
                    "decryption process.",
                    NoticeIcon::Critical);
    EXPECT_EQ(service.liveKeys, 0);
    EXPECT_TRUE(api.OutputData().empty());
}

} // namespace
} // namespace qm::test
