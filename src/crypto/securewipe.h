#pragma once
// Overwrites secrets (passwords, plain texts, key material) in a way the
// compiler may not drop as a dead store, then empties the container.

#include <cstddef>
#include <string>
#include <vector>

namespace qm::crypto
{

inline void wipeBytes(void *data, std::size_t size)
{
    // Stores through a volatile pointer are never dropped as dead.
    volatile auto *p = static_cast<volatile unsigned char *>(data);
    for (std::size_t i = 0; i < size; ++i)
        p[i] = 0;
}

inline void wipe(std::string &s)
{
    s.resize(s.capacity());
    wipeBytes(s.data(), s.size());
    s.clear();
}

template <typename T> void wipe(std::vector<T> &v)
{
    v.resize(v.capacity());
    wipeBytes(v.data(), v.size() * sizeof(T));
    v.clear();
}

} // namespace qm::crypto
