// Standard security handler of the QuillPdf writer: MD5, RC4 and the
// computation of the file key and the /O, /U and /P values (revisions 2 and 3).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quill {

// Permission mode bit selecting a 128-bit key (revision 3).
inline constexpr uint32_t kProtection128Bit = 0x1000;

std::array<uint8_t, 16> Md5Digest(std::string_view bytes);

// RC4 that keeps the last key and its permutation and reuses them when the
// same key comes again.
class Rc4 {
public:
    // Encrypts (or decrypts) data in place.
    void Rc4Crypt(std::string_view key, std::string& data);

private:
    std::string lastKey_;
    std::array<uint8_t, 256> lastState_{};
    bool haveState_ = false;
};

struct Protection {
    bool on = false;
    bool is128 = false;
    std::string fileKey;  // 5 or 16 bytes
    int objectKeyLength = 0;  // 10 or 16
    std::string O, U;  // 32 bytes each
    int32_t P = 0;
    std::string fileId;  // producer name followed by "2.4.8"

    // Key of the given object (generation 0), objectKeyLength bytes.
    std::string ObjectKey(uint32_t objectNumber) const;
};

// Computes the protection state for the permission mode (low 12 bits are the
// permissions, 0x1000 selects 128-bit) and the two passwords. A blank owner
// password means the user password serves as owner password too.
Protection ComputeProtection(uint32_t mode, const std::string& owner, const std::string& user,
                             const std::string& producer);

}  // namespace quill
