#include "pdf/Protection.h"

#include <algorithm>
#include <stdexcept>

namespace quill {

namespace {

// Padding string of the standard security handler.
constexpr uint8_t kPadding[32] = {0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41, 0x64, 0x00, 0x4E,
                                  0x56, 0xFF, 0xFA, 0x01, 0x08, 0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68,
                                  0x3E, 0x80, 0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A};

constexpr const char* kFileIdSuffix = "2.4.8";

std::string PaddingString() { return std::string(reinterpret_cast<const char*>(kPadding), 32); }

// The password cut to 32 bytes, or completed to 32 bytes with the padding string.
std::string PadPassword(const std::string& password) {
    std::string padded = password.substr(0, 32);
    padded.append(reinterpret_cast<const char*>(kPadding), 32 - padded.size());
    return padded;
}

std::string DigestText(std::string_view bytes) {
    const auto d = Md5Digest(bytes);
    return std::string(reinterpret_cast<const char*>(d.data()), d.size());
}

// MD5 of the input, then 50 times MD5 of the first 16 bytes of the previous digest.
std::string DigestRehashed50(std::string_view bytes) {
    std::string h = DigestText(bytes);
    for (int i = 0; i < 50; ++i) h = DigestText(h);
    return h;
}

std::string LittleEndian32(int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[static_cast<size_t>(i)] = static_cast<char>((u >> (8 * i)) & 0xFF);
    return s;
}

// Encrypts under the key, then 19 more times under the key with each byte XORed
// with the round number 1 to 19.
void Rc4TwentyRounds(Rc4& rc4, const std::string& key, std::string& data) {
    rc4.Rc4Crypt(key, data);
    std::string roundKey(key.size(), '\0');
    for (int round = 1; round <= 19; ++round) {
        for (size_t k = 0; k < key.size(); ++k) roundKey[k] = static_cast<char>(static_cast<uint8_t>(key[k]) ^ round);
        rc4.Rc4Crypt(roundKey, data);
    }
}

bool IsBlank(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char ch) { return ch == ' '; });
}

}  // namespace

void Rc4::Rc4Crypt(std::string_view key, std::string& data) {
    if (!haveState_ || key != lastKey_) {
        // Key schedule; an empty key leaves the identity permutation.
        for (int i = 0; i < 256; ++i) lastState_[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
        if (!key.empty()) {
            uint8_t j = 0;
            for (size_t i = 0; i < 256; ++i) {
                j = static_cast<uint8_t>(j + lastState_[i] + static_cast<uint8_t>(key[i % key.size()]));
                std::swap(lastState_[i], lastState_[j]);
            }
        }
        lastKey_.assign(key.data(), key.size());
        haveState_ = true;
    }
    // The kept permutation stays as scheduled; the keystream runs on a copy.
    std::array<uint8_t, 256> s = lastState_;
    uint8_t i = 0;
    uint8_t j = 0;
    auto* p = reinterpret_cast<uint8_t*>(data.data());
    const size_t n = data.size();
    for (size_t k = 0; k < n; ++k) {
        i = static_cast<uint8_t>(i + 1);
        const uint8_t si = s[i];
        j = static_cast<uint8_t>(j + si);
        const uint8_t sj = s[j];
        s[i] = sj;
        s[j] = si;
        p[k] ^= s[static_cast<uint8_t>(si + sj)];
    }
}

std::string Protection::ObjectKey(uint32_t objectNumber) const {
    std::string input = fileKey;
    input.push_back(static_cast<char>(objectNumber & 0xFF));
    input.push_back(static_cast<char>((objectNumber >> 8) & 0xFF));
    input.push_back(static_cast<char>((objectNumber >> 16) & 0xFF));
    input.push_back('\0');  // generation 0
    input.push_back('\0');
    return DigestText(input).substr(0, static_cast<size_t>(objectKeyLength));
}

Protection ComputeProtection(uint32_t mode, const std::string& owner, const std::string& user,
                             const std::string& producer) {
    Protection p;
    p.fileId = producer + kFileIdSuffix;
    const std::string ownerPadded = PadPassword(IsBlank(owner) ? user : owner);
    const std::string userPadded = PadPassword(user);
    p.on = true;
    p.is128 = (mode & kProtection128Bit) != 0;
    Rc4 rc4;

    if (!p.is128) {
        p.P = static_cast<int32_t>(0xFFFFFF00u | ((mode + 192u) & 0xFFu));
        const std::string ownerKey = DigestText(ownerPadded).substr(0, 5);
        p.O = userPadded;
        rc4.Rc4Crypt(ownerKey, p.O);
        p.fileKey = DigestText(userPadded + p.O + LittleEndian32(p.P) + p.fileId).substr(0, 5);
        p.U = PaddingString();
        rc4.Rc4Crypt(p.fileKey, p.U);
    } else {
        // The permission bits over the reserved bits that must be 1. For the
        // permission bits this equals adding them; OR keeps stray bits from carrying.
        p.P = static_cast<int32_t>(0xFFFFF0C0u | (mode & 0xFFFu));
        const std::string ownerKey = DigestRehashed50(ownerPadded);
        p.O = userPadded;
        Rc4TwentyRounds(rc4, ownerKey, p.O);
        p.fileKey = DigestRehashed50(userPadded + p.O + LittleEndian32(p.P) + p.fileId);
        p.U = DigestText(PaddingString() + p.fileId);
        Rc4TwentyRounds(rc4, p.fileKey, p.U);
        p.U.append(16, ' ');
    }
    p.objectKeyLength = std::min<int>(static_cast<int>(p.fileKey.size()) + 5, 16);
    return p;
}

}  // namespace quill
