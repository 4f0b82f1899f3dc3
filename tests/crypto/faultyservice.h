#pragma once
// The real service wrapped so that a named operation fails with a given error
// number; it also records the providers asked for and counts the contexts,
// hashes and keys alive, so tests can see what was released.

#include "crypto/cryptoservice.h"

#include <map>
#include <memory>
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
    std::vector<std::string> requests; // provider names, in order
    int liveContexts = 0, liveHashes = 0, liveKeys = 0;
    int &live(const crypto::Context *) { return liveContexts; }
    int &live(const crypto::HashObject *) { return liveHashes; }
    int &live(const crypto::KeyObject *) { return liveKeys; }

    // The injected fault for op, else the real call.
    template <class Call> int run(const std::string &op, Call call) const
    {
        auto f = fail_.find(op);
        return f == fail_.end() || f->second == crypto::kOk ? call() : f->second;
    }
    // As run, for a call that hands out an object: a success is handed on wrapped.
    template <class Wrap, class Object, class Call>
    int make(const std::string &op, std::unique_ptr<Object> &out, Call call)
    {
        return run(op, [&] {
            std::unique_ptr<Object> inner;
            int rc = call(inner);
            if (rc == crypto::kOk)
                out = std::make_unique<Wrap>(*this, std::move(inner));
            return rc;
        });
    }

    int acquireContext(std::string_view container, std::string_view provider, std::uint32_t type,
                       std::uint32_t flags, std::unique_ptr<crypto::Context> &context) override;

private:
    std::unique_ptr<crypto::Service> real_ = crypto::makeCryptoppService();
    std::map<std::string, int> fail_;
};

// A wrapped object, counted in one of the service's tallies while alive.
template <class Object> class Wrapped : public Object
{
public:
    Wrapped(FaultyService &s, std::unique_ptr<Object> in)
        : s_(s), in_(std::move(in)), tally_(++s.live(static_cast<Object *>(nullptr)))
    {
    }
    ~Wrapped() override { --tally_; }

protected:
    FaultyService &s_;
    std::unique_ptr<Object> in_;

private:
    int &tally_;
};

class WrapHash final : public Wrapped<crypto::HashObject>
{
public:
    using Wrapped::Wrapped;
    unsigned algorithm() const override { return in_->algorithm(); }
    int hashData(std::span<const std::uint8_t> d) override
    {
        return s_.run("hashData", [&] { return in_->hashData(d); });
    }
    int hashValue(crypto::Bytes &v) override
    {
        return s_.run("hashValue", [&] { return in_->hashValue(v); });
    }
};

class WrapKey final : public Wrapped<crypto::KeyObject>
{
public:
    using Wrapped::Wrapped;
    int encrypt(std::span<std::uint8_t> b, std::size_t &n) override
    {
        return s_.run("encrypt", [&] { return in_->encrypt(b, n); });
    }
    int decrypt(std::span<std::uint8_t> b, std::size_t &n) override
    {
        return s_.run("decrypt", [&] { return in_->decrypt(b, n); });
    }
};

class WrapContext final : public Wrapped<crypto::Context>
{
public:
    using Wrapped::Wrapped;
    int createHash(unsigned alg, std::unique_ptr<crypto::HashObject> &h) override
    {
        return s_.make<WrapHash>("createHash", h,
                                 [&](auto &in) { return in_->createHash(alg, in); });
    }
    int deriveKey(unsigned alg, crypto::HashObject &h, std::uint32_t flags,
                  std::unique_ptr<crypto::KeyObject> &k) override
    {
        return s_.make<WrapKey>("deriveKey", k,
                                [&](auto &in) { return in_->deriveKey(alg, h, flags, in); });
    }
    int genRandom(std::span<std::uint8_t> b) override
    {
        return s_.run("genRandom", [&] { return in_->genRandom(b); });
    }
};

inline int FaultyService::acquireContext(std::string_view container, std::string_view provider,
                                         std::uint32_t type, std::uint32_t flags,
                                         std::unique_ptr<crypto::Context> &context)
{
    requests.emplace_back(provider);
    return make<WrapContext>(
        provider.empty() ? "acquireDefault" : "acquireNamed", context,
        [&](auto &in) { return real_->acquireContext(container, provider, type, flags, in); });
}

} // namespace qm::test
