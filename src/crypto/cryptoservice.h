#pragma once
// The cryptography service under clsCryptoAPI: providers (contexts), hash
// objects, keys derived from a hash, block and stream encryption of a buffer in
// place, and random bytes. Its shape follows the handle-based service whose
// results the class must reproduce byte for byte, so data encrypted there
// decrypts here and the other way round. Every operation returns 0 or one of
// the error numbers below, which the class shows as the "last error" of the
// failing call. Objects are released by destroying them.

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace qm::crypto
{

// Error numbers of the service. They are our own and must stay stable: they
// appear in the operator's message boxes and in support notes.
enum ServiceError : int {
    kOk = 0,
    kNoProvider = 1,   // no provider of that name or type, or an unknown flag
    kBadAlgorithm = 2, // hash or cipher the provider does not offer
    kHashFinished = 3, // data hashed after the hash value was read
    kMoreData = 4,     // the result does not fit the buffer
    kBadData = 5,      // encrypted data not in whole blocks, or bad padding
    kRandomFailed = 6, // the random generator could not deliver
};

// Algorithm identifiers.
inline constexpr unsigned kCalgMD2 = 0x8001;
inline constexpr unsigned kCalgMD4 = 0x8002;
inline constexpr unsigned kCalgMD5 = 0x8003;
inline constexpr unsigned kCalgSHA1 = 0x8004;
inline constexpr unsigned kCalgRC2 = 0x6602;
inline constexpr unsigned kCalgRC4 = 0x6801;
inline constexpr unsigned kCalgDES = 0x6601;
inline constexpr unsigned kCalg3DES = 0x6603;
inline constexpr unsigned kCalg3DES112 = 0x6609;

inline constexpr std::uint32_t kProvRsaFull = 1;
inline constexpr std::uint32_t kVerifyContext = 0xF0000000;
inline constexpr std::uint32_t kNewKeyset = 8;

inline constexpr std::string_view kBaseProvider = "Microsoft Base Cryptographic Provider v1.0";
inline constexpr std::string_view kEnhancedProvider =
    "Microsoft Enhanced Cryptographic Provider v1.0";

using Bytes = std::vector<std::uint8_t>;

class HashObject
{
public:
    virtual ~HashObject() = default;
    virtual unsigned algorithm() const = 0;
    virtual int hashData(std::span<const std::uint8_t> data) = 0;
    // Finishes the hash; later hashData calls fail with kHashFinished.
    virtual int hashValue(Bytes &value) = 0;
};

class KeyObject
{
public:
    virtual ~KeyObject() = default;
    // Final-block encryption in place: dataLen bytes at the start of buffer
    // become the encrypted data, whose length is returned in dataLen. Block
    // ciphers need room for the padding within buffer.size() (else kMoreData,
    // with dataLen set to the length required). Each call starts afresh.
    virtual int encrypt(std::span<std::uint8_t> buffer, std::size_t &dataLen) = 0;
    // Final-block decryption in place; dataLen becomes the plain length.
    virtual int decrypt(std::span<std::uint8_t> buffer, std::size_t &dataLen) = 0;
};

class Context
{
public:
    virtual ~Context() = default;
    virtual int createHash(unsigned algId, std::unique_ptr<HashObject> &hash) = 0;
    // Derives a session key for algId from the value of hash.
    virtual int deriveKey(unsigned algId, HashObject &hash, std::uint32_t flags,
                          std::unique_ptr<KeyObject> &key) = 0;
    // Fills buffer with random bytes; its current bytes are mixed in as seed.
    virtual int genRandom(std::span<std::uint8_t> buffer) = 0;
};

class Service
{
public:
    virtual ~Service() = default;
    virtual int acquireContext(std::string_view container, std::string_view provider,
                               std::uint32_t type, std::uint32_t flags,
                               std::unique_ptr<Context> &context) = 0;
};

// The platform's service: Crypto++ on Linux (cryptoservice_unix.cpp), the
// CryptoAPI of advapi32 on Windows (cryptoservice_win.cpp).
std::unique_ptr<Service> makePlatformService();

} // namespace qm::crypto
