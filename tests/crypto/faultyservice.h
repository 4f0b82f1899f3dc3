#pragma once
// The real service wrapped so that a named operation fails with a given error
// number, or throws; it also records the providers asked for and counts the
// contexts, hashes and keys alive, so tests can see what was released.

#include "crypto/cryptoservice.h"

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace qm::test
{

class FaultyService final : public crypto::Service
{
public:
    // Operations: acquireNamed, acquireDefault, createHash, hashData,
    // hashValue, deriveKey, encrypt, decrypt, genRandom.
    void failAlways(const std::string &op, int code) { fail_[op] = code; }
    void throwAlways(const std::string &op, std::exception_ptr e) { throw_[op] = std::move(e); }

    struct Request {
        std::string provider;
        std::uint32_t flags;
    };
    std::vector<Request> requests;
    int liveContexts = 0, liveHashes = 0, liveKeys = 0;

    int fault(const std::string &op) const
    {
        if (auto t = throw_.find(op); t != throw_.end())
            std::rethrow_exception(t->second);
        auto f = fail_.find(op);
        return f == fail_.end() ? crypto::kOk : f->second;
    }

    int acquireContext(std::string_view container, std::string_view provider, std::uint32_t type,
                       std::uint32_t flags, std::unique_ptr<crypto::Context> &context) override;

private:
    std::unique_ptr<crypto::Service> real_ = crypto::makeCryptoppService();
    std::map<std::string, int> fail_;
    std::map<std::string, std::exception_ptr> throw_;
};

class Counted
{
public:
    explicit Counted(int &n) : n_(n) { ++n_; }
    ~Counted() { --n_; }
    Counted(const Counted &) = delete;
    Counted &operator=(const Counted &) = delete;

private:
    int &n_;
};

class WrapHash final : public crypto::HashObject
{
public:
    WrapHash(FaultyService &s, std::unique_ptr<crypto::HashObject> in)
        : s_(s), in_(std::move(in)), count_(s.liveHashes)
    {
    }
    unsigned algorithm() const override { return in_->algorithm(); }
    int hashData(std::span<const std::uint8_t> d) override
    {
        int rc = s_.fault("hashData");
        return rc ? rc : in_->hashData(d);
    }
    int hashValue(crypto::Bytes &v) override
    {
        int rc = s_.fault("hashValue");
        return rc ? rc : in_->hashValue(v);
    }

private:
    FaultyService &s_;
    std::unique_ptr<crypto::HashObject> in_;
    Counted count_;
};

class WrapKey final : public crypto::KeyObject
{
public:
    WrapKey(FaultyService &s, std::unique_ptr<crypto::KeyObject> in)
        : s_(s), in_(std::move(in)), count_(s.liveKeys)
    {
    }
    int encrypt(std::span<std::uint8_t> b, std::size_t &n) override
    {
        int rc = s_.fault("encrypt");
        return rc ? rc : in_->encrypt(b, n);
    }
    int decrypt(std::span<std::uint8_t> b, std::size_t &n) override
    {
        int rc = s_.fault("decrypt");
        return rc ? rc : in_->decrypt(b, n);
    }

private:
    FaultyService &s_;
    std::unique_ptr<crypto::KeyObject> in_;
    Counted count_;
};

class WrapContext final : public crypto::Context
{
public:
    WrapContext(FaultyService &s, std::unique_ptr<crypto::Context> in)
        : s_(s), in_(std::move(in)), count_(s.liveContexts)
    {
    }
    int createHash(unsigned alg, std::unique_ptr<crypto::HashObject> &h) override
    {
        if (int rc = s_.fault("createHash"))
            return rc;
        std::unique_ptr<crypto::HashObject> inner;
        int rc = in_->createHash(alg, inner);
        if (rc == crypto::kOk)
            h = std::make_unique<WrapHash>(s_, std::move(inner));
        return rc;
    }
    int deriveKey(unsigned alg, crypto::HashObject &h, std::uint32_t flags,
                  std::unique_ptr<crypto::KeyObject> &k) override
    {
        if (int rc = s_.fault("deriveKey"))
            return rc;
        std::unique_ptr<crypto::KeyObject> inner;
        int rc = in_->deriveKey(alg, h, flags, inner);
        if (rc == crypto::kOk)
            k = std::make_unique<WrapKey>(s_, std::move(inner));
        return rc;
    }
    int genRandom(std::span<std::uint8_t> b) override
    {
        int rc = s_.fault("genRandom");
        return rc ? rc : in_->genRandom(b);
    }

private:
    FaultyService &s_;
    std::unique_ptr<crypto::Context> in_;
    Counted count_;
};

inline int FaultyService::acquireContext(std::string_view container, std::string_view provider,
                                         std::uint32_t type, std::uint32_t flags,
                                         std::unique_ptr<crypto::Context> &context)
{
    requests.push_back({std::string(provider), flags});
    if (int rc = fault(provider.empty() ? "acquireDefault" : "acquireNamed"))
        return rc;
    std::unique_ptr<crypto::Context> inner;
    int rc = real_->acquireContext(container, provider, type, flags, inner);
    if (rc == crypto::kOk)
        context = std::make_unique<WrapContext>(*this, std::move(inner));
    return rc;
}

} // namespace qm::test
