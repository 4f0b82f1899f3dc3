#include "crypto/clscryptoapi.h"
#include "pure/text.h"

#include "crypto/securewipe.h"

#include <chrono>
#include <cmath>
#include <exception>
#include <initializer_list>
#include <new>

namespace qm
{

using namespace crypto;

namespace
{

// Run-time error numbers in the "critical error" boxes of Encrypt and Decrypt.
constexpr int kRunErrOutOfMemory = 7;
constexpr int kRunErrOther = 5;

constexpr char kCrLf[] = "\r\n";

// Wipes the listed work texts whichever way the routine is left.
class ScopedWipe
{
public:
    ScopedWipe(std::initializer_list<std::string *> texts) : texts_(texts) {}
    ~ScopedWipe()
    {
        for (std::string *t : texts_)
            wipe(*t);
    }
    ScopedWipe(const ScopedWipe &) = delete;
    ScopedWipe &operator=(const ScopedWipe &) = delete;

private:
    std::vector<std::string *> texts_;
};

unsigned hashAlgorithm(std::int16_t choice)
{
    switch (choice) {
    case 1:
        return kCalgMD5;
    case 2:
        return kCalgMD4;
    case 3:
        return kCalgMD2;
    case 4:
        return kCalgSHA1;
    default:
        return 0;
    }
}

unsigned cipherAlgorithm(std::int16_t choice)
{
    switch (choice) {
    case 1:
        return kCalgRC4;
    case 2:
        return kCalgRC2;
    case 3:
        return kCalgDES;
    case 4:
        return kCalg3DES;
    case 5:
        return kCalg3DES112;
    default:
        return 0;
    }
}

void trimTrailingBlanks(std::string &s)
{
    const auto end = s.find_last_not_of(' ');
    s.resize(end == std::string::npos ? 0 : end + 1);
}

// The built-in password: a fixed 20-character text, put together here rather
// than stored as one literal in the binary. 11 is prime to 36, so the
// characters are all different.
ByteArray defaultPassword()
{
    ByteArray pw;
    pw.reserve(21);
    for (int i = 0; i < 20; ++i) {
        const int k = (i * 11 + 7) % 36;
        const int c = k < 10 ? '0' + k : (i % 2 != 0 ? 'a' : 'A') + (k - 10);
        pw.push_back(static_cast<std::uint8_t>(c));
    }
    pw.push_back(0);
    return pw;
}

void appendHex(std::string &out, std::uint8_t b)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 0x0F]);
}

std::span<std::uint8_t> bytesOf(std::string &s, std::size_t n)
{
    return {reinterpret_cast<std::uint8_t *>(s.data()), n};
}

} // namespace

clsCryptoAPI::clsCryptoAPI(Notifier &notifier)
    : notifier_(notifier), randomService_(makePlatformService()), service_(*randomService_)
{
}

clsCryptoAPI::clsCryptoAPI(Notifier &notifier, Service &service)
    : notifier_(notifier), randomService_(makePlatformService()), service_(service)
{
}

clsCryptoAPI::~clsCryptoAPI()
{
    wipe(inData_);
    wipe(outData_);
    wipe(password_);
    releaseProvider();
}

void clsCryptoAPI::InputData(const ByteArray &arInData)
{
    wipe(inData_);
    inData_ = ByteArrayToString(arInData);
}

void clsCryptoAPI::Password(ByteArray &arPWord)
{
    wipe(password_);
    if (arPWord.size() > 1) {
        password_ = arPWord;
        wipe(arPWord);
    } else {
        password_ = useDefaultPwd_ ? defaultPassword() : ByteArray{0};
    }
}

std::string clsCryptoAPI::ByteArrayToString(const ByteArray &arByte) const
{
    if (arByte.size() < 2)
        return {};
    std::string s(arByte.begin(), arByte.end() - 1);
    trimTrailingBlanks(s);
    return s;
}

std::string clsCryptoAPI::ConvertByteToHex(const ByteArray &abytData) const
{
    std::string out;
    if (abytData.size() < 2)
        return out;
    out.reserve(2 * (abytData.size() - 1));
    for (std::size_t i = 0; i + 1 < abytData.size(); ++i)
        appendHex(out, abytData[i]);
    return out;
}

std::string clsCryptoAPI::ConvertStringFromHex(std::string_view strHex)
{
    std::string out;
    bool corrupted = strHex.size() % 2 != 0;
    out.reserve(strHex.size() / 2);
    for (std::size_t i = 0; !corrupted && i < strHex.size(); i += 2) {
        const int hi = HexDigitValue(strHex[i]);
        const int lo = HexDigitValue(strHex[i + 1]);
        // A pair that is not hexadecimal is as corrupt as an odd length.
        corrupted = hi < 0 || lo < 0;
        out.push_back(static_cast<char>(hi * 16 + lo));
    }
    if (corrupted) {
        wipe(out);
        notifier_.message("Data corrupted", "Data string is corrupted.  Cannot be Decrypted.",
                          NoticeIcon::Critical);
        return {};
    }
    trimTrailingBlanks(out);
    return out;
}

std::string clsCryptoAPI::ConvertStringToHex(std::string_view strInput,
                                             bool /*blnRetUppercase*/) const
{
    std::string out;
    out.reserve(2 * strInput.size());
    for (char c : strInput)
        appendHex(out, static_cast<std::uint8_t>(c));
    return out;
}

ByteArray clsCryptoAPI::StringToByteArray(std::string_view varInput) const
{
    ByteArray out(varInput.size() + 1, 0);
    for (std::size_t i = 0; i < varInput.size(); ++i)
        out[i] = static_cast<std::uint8_t>(varInput[i]);
    return out;
}

bool clsCryptoAPI::acquireProvider()
{
    if (context_)
        return true;
    int rc = service_.acquireContext("", enhanced_ ? kEnhancedProvider : kBaseProvider,
                                     kProvRsaFull, kVerifyContext, context_);
    if (rc == kOk && context_)
        return true;
    context_.reset();
    rc = service_.acquireContext("", "", kProvRsaFull, kNewKeyset, context_);
    if (rc == kOk && context_)
        return true;
    context_.reset();
    notifier_.message("Cannot access CryptoAPI",
                      "Error creating DEFAULT key container - " + std::to_string(rc),
                      NoticeIcon::Critical);
    return false;
}

std::string clsCryptoAPI::passwordTextForHash()
{
    if (password_.size() > 1)
        return ByteArrayToString(password_);
    if (useDefaultPwd_) {
        ByteArray pw = defaultPassword();
        std::string text = ByteArrayToString(pw);
        wipe(pw);
        return text;
    }
    // Not stored: each hash then gets a password of its own.
    return CreateSaltValue(20, true);
}

std::string clsCryptoAPI::CreateHash(std::string_view strInText, std::int16_t intHashChoice,
                                     bool blnConvertToHex, bool blnAppendPassword,
                                     bool /*blnCaseSensitive*/)
{
    std::string text, password, value;
    ScopedWipe guard{&text, &password, &value};
    try {
        if (!acquireProvider())
            return {};
        if (blnAppendPassword)
            password = passwordTextForHash();
        // Sized once, so no copy of the text is left behind unwiped by a
        // reallocation.
        text.reserve(strInText.size() + password.size());
        text.assign(strInText);
        text += password;
        std::unique_ptr<HashObject> hash;
        if (context_->createHash(hashAlgorithm(intHashChoice), hash) != kOk)
            return {};
        if (hash->hashData(bytesOf(text, text.size())) != kOk)
            return {};
        Bytes digest;
        const int rc = hash->hashValue(digest);
        value.assign(digest.begin(), digest.end());
        wipe(digest);
        if (rc != kOk)
            return {};
        std::string result = blnConvertToHex ? ConvertStringToHex(value) : value;
        trimTrailingBlanks(result);
        return result;
    } catch (...) {
        return {};
    }
}

std::string clsCryptoAPI::CreateRandom(std::int32_t lngDataLength, bool blnExactLength,
                                       bool blnHexReturn)
{
    std::string seed, buffer;
    ScopedWipe guard{&seed, &buffer};
    try {
        if (lngDataLength < 0 || !acquireProvider())
            return {};
        const auto length = static_cast<std::size_t>(lngDataLength);
        using namespace std::chrono;
        const auto stamp =
            duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count() +
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
        seed = std::to_string(stamp) + CreateSaltValue(40, true);
        buffer = CreateHash(seed, 4, false, false);
        buffer.append(length, ' ');
        if (context_->genRandom(bytesOf(buffer, length)) != kOk)
            return {};
        if (blnExactLength) {
            // Cut before dropping blanks: random bytes that happen to end in
            // blanks must not make the result shorter than asked for.
            std::string out = blnHexReturn ? ConvertStringToHex(buffer) : buffer;
            out.resize(std::min(out.size(), length));
            return out;
        }
        trimTrailingBlanks(buffer);
        return blnHexReturn ? ConvertStringToHex(buffer) : buffer;
    } catch (...) {
        return {};
    }
}

std::string clsCryptoAPI::CreateSaltValue(std::int32_t lngReturnLength,
                                          bool blnUseLettersNumbersOnly)
{
    if (lngReturnLength <= 0)
        return {};
    if (!blnUseLettersNumbersOnly)
        return CreateRandom(lngReturnLength, true, false);
    std::string out;
    out.reserve(static_cast<std::size_t>(lngReturnLength));
    for (std::int32_t i = 0; i < lngReturnLength; ++i) {
        auto v = static_cast<int>(Rnd2(48, 122));
        // Skip the punctuation between digits, upper and lower case letters.
        if ((v >= 58 && v <= 64) || (v >= 91 && v <= 96))
            v += 9;
        out.push_back(static_cast<char>(v));
    }
    return out;
}

float clsCryptoAPI::Rnd2(float sngLow, float sngHigh)
{
    // The generator keeps its state between calls and takes the clock as extra
    // entropy: reseeding from the clock alone repeats the value within a tick.
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count() ^
                      std::chrono::system_clock::now().time_since_epoch().count();
    std::uint32_t word = static_cast<std::uint32_t>(tick);
    if (!random_)
        randomService_->acquireContext("", "", kProvRsaFull, kVerifyContext, random_);
    if (random_) // else the clock's bits have to do
        random_->genRandom({reinterpret_cast<std::uint8_t *>(&word), sizeof word});
    const double r = word / 4294967296.0;
    auto result = static_cast<float>(sngLow + r * (static_cast<double>(sngHigh) - sngLow));
    // Rounding to single precision can reach the upper bound; keep it open.
    if (sngHigh > sngLow && result >= sngHigh)
        result = std::nextafter(sngHigh, sngLow);
    return result;
}

bool clsCryptoAPI::Encrypt(std::int16_t intHashType, std::int16_t intCipherType)
{
    return crypt(true, intHashType, intCipherType);
}

bool clsCryptoAPI::Decrypt(std::int16_t intHashType, std::int16_t intCipherType)
{
    return crypt(false, intHashType, intCipherType);
}

bool clsCryptoAPI::crypt(bool encrypting, std::int16_t hashType, std::int16_t cipherType)
{
    const std::string title = encrypting ? "Encryption Errors" : "Decryption Errors";
    const auto serviceFailure = [&](const std::string &text) {
        notifier_.message(title, text, NoticeIcon::Exclamation);
        return false;
    };

    wipe(outData_);
    std::string password, work;
    ScopedWipe guard{&password, &work};
    std::unique_ptr<HashObject> hash;
    std::unique_ptr<KeyObject> key;
    try {
        const unsigned hashAlg = hashAlgorithm(hashType);
        if (hashAlg == 0) {
            notifier_.message(encrypting ? "Wrong Encrypt Hash Selection"
                                         : "Wrong Decrypt Hash Selection",
                              "This hash selection is not supported.", NoticeIcon::Exclamation);
            releaseProvider();
            return false;
        }
        const unsigned cipherAlg = cipherAlgorithm(cipherType);
        const bool allowed = enhanced_ ? cipherAlg != 0 : cipherType >= 1 && cipherType <= 3;
        if (!allowed) {
            notifier_.message("Wrong Cipher Selection",
                              enhanced_ ? "Enhanced provider does not support cipher selected."
                                        : "Default provider does not support Triple DES ciphers.",
                              NoticeIcon::Exclamation);
            releaseProvider();
            return false;
        }
        if (!acquireProvider())
            return false;

        if (password_.size() < 2 && useDefaultPwd_) {
            wipe(password_);
            password_ = defaultPassword();
        }
        password = ByteArrayToString(password_);

        if (int rc = context_->createHash(hashAlg, hash); rc != kOk)
            return serviceFailure("Error: " + std::to_string(rc) + " during CryptCreateHash!");
        if (int rc = hash->hashData(bytesOf(password, password.size())); rc != kOk)
            return serviceFailure("Error: " + std::to_string(rc) + " during CryptHashData!");
        if (int rc = context_->deriveKey(cipherAlg, *hash, 0, key); rc != kOk)
            return serviceFailure("Error: " + std::to_string(rc) + " during CryptDeriveKey!");
        hash.reset();

        // The data is processed in place in a buffer of twice its length, so a
        // block cipher's padding fits from 4 bytes of data on.
        const std::size_t n = inData_.size();
        work.reserve(2 * n); // one allocation: nothing unwiped left behind
        work.assign(inData_);
        work.append(n, ' ');
        std::size_t length = n;
        if (encrypting) {
            if (int rc = key->encrypt(bytesOf(work, 2 * n), length); rc != kOk)
                return serviceFailure("Bytes required:" + std::to_string(2 * n) + kCrLf + kCrLf +
                                      "Error: " + std::to_string(rc) + " during CryptEncrypt!");
        } else {
            if (int rc = key->decrypt(bytesOf(work, n), length); rc != kOk)
                return serviceFailure("Error " + std::to_string(rc) + " during CryptDecrypt!");
        }
        outData_ = StringToByteArray(std::string_view(work).substr(0, length));
        return true;
    } catch (const std::exception &e) {
        const bool outOfMemory = dynamic_cast<const std::bad_alloc *>(&e) != nullptr;
        const int number = outOfMemory ? kRunErrOutOfMemory : kRunErrOther;
        notifier_.message(encrypting ? "Encryption Error" : "Decryption Errors",
                          "Error: " + std::to_string(number) + "  " + e.what() + kCrLf + kCrLf +
                              "A critical error ocurred during the " +
                              (encrypting ? "encryption" : "decryption") + " process.",
                          NoticeIcon::Critical);
    } catch (...) {
        notifier_.message(encrypting ? "Encryption Error" : "Decryption Errors",
                          "Error: " + std::to_string(kRunErrOther) + "  Unknown error" + kCrLf +
                              kCrLf + "A critical error ocurred during the " +
                              (encrypting ? "encryption" : "decryption") + " process.",
                          NoticeIcon::Critical);
    }
    wipe(outData_);
    return false;
}

} // namespace qm
