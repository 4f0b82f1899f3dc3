// The cryptography service on Linux: Crypto++, deriving keys and padding data the
// way the base and enhanced RSA providers do, so that their ciphertexts are
// interchangeable with ours.

#include "crypto/cryptoservice.h"
#include "crypto/securewipe.h"

#include <cryptopp/arc4.h>
#include <cryptopp/des.h>
#include <cryptopp/md2.h>
#include <cryptopp/md4.h>
#include <cryptopp/md5.h>
#include <cryptopp/modes.h>
#include <cryptopp/osrng.h>
#include <cryptopp/rc2.h>
#include <cryptopp/sha.h>

#include <algorithm>
#include <array>

namespace qm::crypto
{
namespace
{

using CryptoPP::byte;

std::unique_ptr<CryptoPP::HashTransformation> newHash(unsigned algId)
{
    switch (algId) {
    case kCalgMD2:
        return std::make_unique<CryptoPP::Weak::MD2>();
    case kCalgMD4:
        return std::make_unique<CryptoPP::Weak::MD4>();
    case kCalgMD5:
        return std::make_unique<CryptoPP::Weak::MD5>();
    case kCalgSHA1:
        return std::make_unique<CryptoPP::SHA1>();
    default:
        return nullptr;
    }
}

class CppHash final : public HashObject
{
public:
    CppHash(unsigned algId, std::unique_ptr<CryptoPP::HashTransformation> h)
        : alg_(algId), h_(std::move(h))
    {
    }
    ~CppHash() override { wipe(value_); }

    unsigned algorithm() const override { return alg_; }

    int hashData(std::span<const std::uint8_t> data) override
    {
        if (done_)
            return kHashFinished;
        h_->Update(data.data(), data.size());
        return kOk;
    }

    int hashValue(Bytes &value) override
    {
        if (!done_) {
            value_.resize(h_->DigestSize());
            h_->Final(value_.data());
            done_ = true;
        }
        value = value_;
        return kOk;
    }

private:
    unsigned alg_;
    std::unique_ptr<CryptoPP::HashTransformation> h_;
    Bytes value_;
    bool done_ = false;
};

constexpr std::size_t kBlock = 8;

class CppKey final : public KeyObject
{
public:
    CppKey(unsigned algId, const Bytes &key, int effectiveBits)
        : alg_(algId), key_(key.data(), key.size()), effectiveBits_(effectiveBits)
    {
    }

    int encrypt(std::span<std::uint8_t> buffer, std::size_t &dataLen) override
    {
        if (alg_ == kCalgRC4)
            return stream(buffer, dataLen);
        // PKCS#5: always pad, a whole block of 8s when the data fills its blocks.
        const std::size_t n = dataLen;
        const std::size_t padded = (n / kBlock + 1) * kBlock;
        if (padded > buffer.size()) {
            dataLen = padded;
            return kMoreData;
        }
        std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(n),
                  buffer.begin() + static_cast<std::ptrdiff_t>(padded),
                  static_cast<std::uint8_t>(padded - n));
        auto cipher = blockCipher(true);
        CryptoPP::CBC_Mode_ExternalCipher::Encryption cbc(*cipher, kZeroIv.data());
        cbc.ProcessData(buffer.data(), buffer.data(), padded);
        dataLen = padded;
        return kOk;
    }

    int decrypt(std::span<std::uint8_t> buffer, std::size_t &dataLen) override
    {
        if (alg_ == kCalgRC4)
            return stream(buffer, dataLen);
        const std::size_t n = dataLen;
        if (n == 0 || n % kBlock != 0 || n > buffer.size())
            return kBadData;
        auto cipher = blockCipher(false);
        CryptoPP::CBC_Mode_ExternalCipher::Decryption cbc(*cipher, kZeroIv.data());
        cbc.ProcessData(buffer.data(), buffer.data(), n);
        const std::uint8_t pad = buffer[n - 1];
        if (pad < 1 || pad > kBlock)
            return kBadData;
        for (std::size_t i = n - pad; i < n; ++i)
            if (buffer[i] != pad)
                return kBadData;
        dataLen = n - pad;
        return kOk;
    }

private:
    int stream(std::span<std::uint8_t> buffer, std::size_t dataLen)
    {
        if (dataLen > buffer.size())
            return kBadData;
        CryptoPP::Weak::ARC4::Encryption rc4(key_.data(), key_.size());
        rc4.ProcessData(buffer.data(), buffer.data(), dataLen);
        return kOk;
    }

    std::unique_ptr<CryptoPP::BlockCipher> blockCipher(bool forEncryption) const
    {
        const byte *k = key_.data();
        const std::size_t len = key_.size();
        // RC2 must be told its effective key length: the library's default
        // (1024 bits) gives a different key schedule.
        switch (alg_) {
        case kCalgRC2:
            if (forEncryption)
                return std::make_unique<CryptoPP::RC2::Encryption>(k, len, effectiveBits_);
            return std::make_unique<CryptoPP::RC2::Decryption>(k, len, effectiveBits_);
        case kCalgDES:
            if (forEncryption)
                return std::make_unique<CryptoPP::DES::Encryption>(k, len);
            return std::make_unique<CryptoPP::DES::Decryption>(k, len);
        case kCalg3DES112:
            if (forEncryption)
                return std::make_unique<CryptoPP::DES_EDE2::Encryption>(k, len);
            return std::make_unique<CryptoPP::DES_EDE2::Decryption>(k, len);
        default: // kCalg3DES
            if (forEncryption)
                return std::make_unique<CryptoPP::DES_EDE3::Encryption>(k, len);
            return std::make_unique<CryptoPP::DES_EDE3::Decryption>(k, len);
        }
    }

    static constexpr std::array<byte, kBlock> kZeroIv{};
    unsigned alg_;
    CryptoPP::SecByteBlock key_;
    int effectiveBits_;
};

struct KeyShape {
    std::size_t keyBytes;  // taken from the hash
    std::size_t saltBytes; // zero bytes appended (40-bit export keys)
    int effectiveBits;     // RC2 only
};

class CppContext final : public Context
{
public:
    explicit CppContext(bool enhanced) : enhanced_(enhanced) {}

    int createHash(unsigned algId, std::unique_ptr<HashObject> &hash) override
    {
        auto h = newHash(algId);
        if (!h)
            return kBadAlgorithm;
        hash = std::make_unique<CppHash>(algId, std::move(h));
        return kOk;
    }

    int deriveKey(unsigned algId, HashObject &hash, std::uint32_t /*flags*/,
                  std::unique_ptr<KeyObject> &key) override
    {
        KeyShape shape{};
        if (!shapeFor(algId, shape))
            return kBadAlgorithm;
        Bytes value;
        if (int rc = hash.hashValue(value); rc != kOk)
            return rc;
        Bytes material = value.size() >= shape.keyBytes ? value : stretch(hash.algorithm(), value);
        wipe(value);
        if (material.empty())
            return kBadAlgorithm;
        material.resize(shape.keyBytes);
        material.resize(shape.keyBytes + shape.saltBytes, 0);
        key = std::make_unique<CppKey>(algId, material, shape.effectiveBits);
        wipe(material);
        return kOk;
    }

    int genRandom(std::span<std::uint8_t> buffer) override
    {
        try {
            pool_.IncorporateEntropy(buffer.data(), buffer.size());
            pool_.GenerateBlock(buffer.data(), buffer.size());
        } catch (const CryptoPP::Exception &) {
            return kRandomFailed;
        }
        return kOk;
    }

private:
    bool shapeFor(unsigned algId, KeyShape &shape) const
    {
        switch (algId) {
        case kCalgRC4:
        case kCalgRC2:
            // The base provider keys with 40 bits plus 88 zero bits of salt.
            shape = enhanced_ ? KeyShape{16, 0, 128} : KeyShape{5, 11, 40};
            return true;
        case kCalgDES:
            shape = {8, 0, 0};
            return true;
        case kCalg3DES112:
            shape = {16, 0, 0};
            return enhanced_;
        case kCalg3DES:
            shape = {24, 0, 0};
            return enhanced_;
        default:
            return false;
        }
    }

    // A key longer than the hash: the hash XORed into 64 bytes of 0x36 and
    // into 64 bytes of 0x5C, each hashed again, the two results joined.
    static Bytes stretch(unsigned algId, const Bytes &value)
    {
        Bytes out;
        for (std::uint8_t fill : {std::uint8_t{0x36}, std::uint8_t{0x5C}}) {
            auto h = newHash(algId);
            if (!h)
                return {};
            std::array<byte, 64> buf;
            buf.fill(fill);
            for (std::size_t i = 0; i < value.size() && i < buf.size(); ++i)
                buf[i] ^= value[i];
            Bytes digest(h->DigestSize());
            h->CalculateDigest(digest.data(), buf.data(), buf.size());
            CryptoPP::SecureWipeBuffer(buf.data(), buf.size());
            out.insert(out.end(), digest.begin(), digest.end());
            wipe(digest);
        }
        return out;
    }

    bool enhanced_;
    CryptoPP::AutoSeededRandomPool pool_;
};

class CppService final : public Service
{
public:
    int acquireContext(std::string_view /*container*/, std::string_view provider,
                       std::uint32_t type, std::uint32_t flags,
                       std::unique_ptr<Context> &context) override
    {
        if (type != kProvRsaFull)
            return kNoProvider;
        if (flags != 0 && flags != kVerifyContext && flags != kNewKeyset)
            return kNoProvider;
        bool enhanced = false;
        if (provider == kEnhancedProvider)
            enhanced = true;
        else if (provider == kBaseProvider)
            enhanced = false;
        else if (provider.empty())
            // The system's default full-RSA provider keys like the enhanced one.
            enhanced = true;
        else
            return kNoProvider;
        context = std::make_unique<CppContext>(enhanced);
        return kOk;
    }
};

} // namespace

std::unique_ptr<Service> makePlatformService()
{
    return std::make_unique<CppService>();
}

} // namespace qm::crypto
