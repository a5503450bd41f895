// MD5 for the protection's keys, from Windows' own cryptography (CNG).
#include <windows.h>
// bcrypt.h needs the types windows.h declares.
#include <bcrypt.h>

#include <stdexcept>

#include "pdf/Protection.h"

namespace quill {

namespace {

// The provider, opened once for the process.
BCRYPT_ALG_HANDLE Md5Provider() {
    static const BCRYPT_ALG_HANDLE provider = [] {
        BCRYPT_ALG_HANDLE h = nullptr;
        return BCryptOpenAlgorithmProvider(&h, BCRYPT_MD5_ALGORITHM, nullptr, 0) >= 0 ? h : nullptr;
    }();
    return provider;
}

}  // namespace

std::array<uint8_t, 16> Md5Digest(std::string_view bytes) {
    std::array<uint8_t, 16> digest{};
    BCRYPT_HASH_HANDLE hash = nullptr;
    const BCRYPT_ALG_HANDLE provider = Md5Provider();
    bool done = provider != nullptr && BCryptCreateHash(provider, &hash, nullptr, 0, nullptr, 0, 0) >= 0;
    if (done) {
        done = BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                              static_cast<ULONG>(bytes.size()), 0) >= 0 &&
            BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0) >= 0;
        BCryptDestroyHash(hash);
    }
    if (!done) throw std::runtime_error("MD5 digest failed");
    return digest;
}

}  // namespace quill
