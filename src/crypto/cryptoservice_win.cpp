// The cryptography service on Windows: the CryptoAPI of advapi32 itself. The
// service's identifiers and flags are the system's own numbers, so they pass
// through; only the system's error numbers are turned into ours.

#include "crypto/cryptoservice.h"

#include <string>

#include <windows.h>
// after windows.h, whose types it uses
#include <wincrypt.h>

namespace qm::crypto
{
namespace
{

// Ours for the system's last error; `otherwise` for one we have no name for.
int LastServiceError(int otherwise)
{
    switch (static_cast<HRESULT>(GetLastError())) {
    case static_cast<HRESULT>(ERROR_MORE_DATA):
        return kMoreData;
    case NTE_BAD_ALGID:
        return kBadAlgorithm;
    case NTE_BAD_HASH_STATE:
        return kHashFinished;
    case NTE_BAD_DATA:
    case NTE_BAD_LEN:
        return kBadData;
    case NTE_BAD_FLAGS:
    case NTE_BAD_KEYSET:
    case NTE_KEYSET_NOT_DEF:
    case NTE_PROV_TYPE_NOT_DEF:
    case NTE_PROV_TYPE_NO_MATCH:
    case NTE_BAD_PROV_TYPE:
        return kNoProvider;
    default:
        return otherwise;
    }
}

// Hashes and keys each hold a reference to their provider, so releasing the
// context never pulls the provider from under them.
class Provider
{
public:
    explicit Provider(HCRYPTPROV p) : p_(p) {}
    Provider(const Provider &other) : p_(other.p_) { CryptContextAddRef(p_, nullptr, 0); }
    Provider &operator=(const Provider &) = delete;
    ~Provider() { CryptReleaseContext(p_, 0); }
    HCRYPTPROV get() const { return p_; }

private:
    HCRYPTPROV p_;
};

class WinHash final : public HashObject
{
public:
    WinHash(unsigned algId, const Provider &provider, HCRYPTHASH h)
        : alg_(algId), provider_(provider), h_(h)
    {
    }
    ~WinHash() override { CryptDestroyHash(h_); }
    WinHash(const WinHash &) = delete;
    WinHash &operator=(const WinHash &) = delete;

    unsigned algorithm() const override { return alg_; }
    HCRYPTHASH handle() const { return h_; }

    int hashData(std::span<const std::uint8_t> data) override
    {
        if (!CryptHashData(h_, data.data(), static_cast<DWORD>(data.size()), 0))
            return LastServiceError(kBadData);
        return kOk;
    }

    int hashValue(Bytes &value) override
    {
        DWORD size = 0;
        if (!CryptGetHashParam(h_, HP_HASHVAL, nullptr, &size, 0))
            return LastServiceError(kBadData);
        value.resize(size);
        if (!CryptGetHashParam(h_, HP_HASHVAL, value.data(), &size, 0))
            return LastServiceError(kBadData);
        value.resize(size);
        return kOk;
    }

private:
    unsigned alg_;
    Provider provider_;
    HCRYPTHASH h_;
};

class WinKey final : public KeyObject
{
public:
    WinKey(const Provider &provider, HCRYPTKEY k) : provider_(provider), k_(k) {}
    ~WinKey() override { CryptDestroyKey(k_); }
    WinKey(const WinKey &) = delete;
    WinKey &operator=(const WinKey &) = delete;

    // Final = TRUE: the key starts afresh on the next call.
    int encrypt(std::span<std::uint8_t> buffer, std::size_t &dataLen) override
    {
        auto length = static_cast<DWORD>(dataLen);
        const BOOL ok =
            CryptEncrypt(k_, 0, TRUE, 0, buffer.data(), &length, static_cast<DWORD>(buffer.size()));
        dataLen = length; // on kMoreData: the length required
        return ok ? kOk : LastServiceError(kBadData);
    }

    int decrypt(std::span<std::uint8_t> buffer, std::size_t &dataLen) override
    {
        if (dataLen > buffer.size())
            return kBadData;
        auto length = static_cast<DWORD>(dataLen);
        if (!CryptDecrypt(k_, 0, TRUE, 0, buffer.data(), &length))
            return LastServiceError(kBadData);
        dataLen = length;
        return kOk;
    }

private:
    Provider provider_;
    HCRYPTKEY k_;
};

class WinContext final : public Context
{
public:
    explicit WinContext(HCRYPTPROV p) : provider_(p) {}

    int createHash(unsigned algId, std::unique_ptr<HashObject> &hash) override
    {
        HCRYPTHASH h = 0;
        if (!CryptCreateHash(provider_.get(), algId, 0, 0, &h))
            return LastServiceError(kBadAlgorithm);
        hash = std::make_unique<WinHash>(algId, provider_, h);
        return kOk;
    }

    int deriveKey(unsigned algId, HashObject &hash, std::uint32_t flags,
                  std::unique_ptr<KeyObject> &key) override
    {
        auto *ours = dynamic_cast<WinHash *>(&hash);
        HCRYPTKEY k = 0;
        if (!ours)
            return kBadAlgorithm;
        if (!CryptDeriveKey(provider_.get(), algId, ours->handle(), flags, &k))
            return LastServiceError(kBadAlgorithm);
        key = std::make_unique<WinKey>(provider_, k);
        return kOk;
    }

    int genRandom(std::span<std::uint8_t> buffer) override
    {
        if (!CryptGenRandom(provider_.get(), static_cast<DWORD>(buffer.size()), buffer.data()))
            return kRandomFailed;
        return kOk;
    }

private:
    Provider provider_;
};

class WinService final : public Service
{
public:
    int acquireContext(std::string_view container, std::string_view provider, std::uint32_t type,
                       std::uint32_t flags, std::unique_ptr<Context> &context) override
    {
        const std::string containerName(container), providerName(provider);
        const auto name = [](const std::string &s) { return s.empty() ? nullptr : s.c_str(); };
        HCRYPTPROV p = 0;
        BOOL ok = CryptAcquireContextA(&p, name(containerName), name(providerName), type, flags);
        // The default key container outlives the process: a "new" one exists
        // from the second run on, and it serves as well.
        if (!ok && flags == CRYPT_NEWKEYSET && GetLastError() == DWORD(NTE_EXISTS))
            ok = CryptAcquireContextA(&p, name(containerName), name(providerName), type, 0);
        if (!ok)
            return LastServiceError(kNoProvider);
        context = std::make_unique<WinContext>(p);
        return kOk;
    }
};

} // namespace

std::unique_ptr<Service> makePlatformService()
{
    return std::make_unique<WinService>();
}

} // namespace qm::crypto
