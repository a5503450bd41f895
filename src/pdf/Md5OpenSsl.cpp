// MD5 for the protection's keys, from OpenSSL's libcrypto.
#include <openssl/evp.h>

#include <stdexcept>

#include "pdf/Protection.h"

namespace quill {

std::array<uint8_t, 16> Md5Digest(std::string_view bytes) {
    std::array<uint8_t, 16> digest{};
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_md5(), nullptr) != 1 || length != 16)
        throw std::runtime_error("MD5 digest failed");
    return digest;
}

}  // namespace quill
