#pragma once
// Overwrites secrets (passwords, plain texts, key material) in a way the
// compiler may not drop as a dead store, then empties the container.

#include <cryptopp/misc.h>

#include <string>
#include <vector>

namespace qm::crypto
{

inline void wipe(std::string &s)
{
    s.resize(s.capacity());
    CryptoPP::SecureWipeBuffer(reinterpret_cast<CryptoPP::byte *>(s.data()), s.size());
    s.clear();
}

template <typename T> void wipe(std::vector<T> &v)
{
    v.resize(v.capacity());
    CryptoPP::SecureWipeBuffer(v.data(), v.size());
    v.clear();
}

} // namespace qm::crypto
