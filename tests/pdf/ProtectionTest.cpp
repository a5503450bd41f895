// MD5, RC4 and the standard security handler values, checked against published
// vectors and by qpdf and poppler opening hand-made encrypted documents.
#include "pdf/Protection.h"

#include "pdf/Filters.h"
#include "pdf/HandMadePdf.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string HexLower(const std::string& bytes)
{
    std::string hex = handmade::Hex(bytes);
    for (auto& ch : hex) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return hex;
}

std::string Md5Hex(std::string_view text)
{
    const auto d = quill::Md5Digest(text);
    return HexLower(std::string(reinterpret_cast<const char*>(d.data()), d.size()));
}

const std::string kProducer = "QuillPdf Library";

TEST(Md5Test, Rfc1321Vectors)
{
    EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5Hex("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(Md5Hex("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(Md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(Md5Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
    EXPECT_EQ(Md5Hex(std::string_view("\0\x80\xFF", 3)), Md5Hex(std::string("\0\x80\xFF", 3)));
}

TEST(Rc4Test, KnownVectors)
{
    quill::Rc4 rc4;
    auto crypt = [&rc4](const std::string& key, std::string text) {
        rc4.Rc4Crypt(key, text);
        return handmade::Hex(text);
    };
    EXPECT_EQ(crypt("Key", "Plaintext"), "BBF316E8D940AF0AD3");
    EXPECT_EQ(crypt("Wiki", "pedia"), "1021BF0420");
    EXPECT_EQ(crypt("Secret", "Attack at dawn"), "45A01F645FC35B383552544B9BF5");
}

TEST(Rc4Test, KeptScheduleGivesTheSameOutputAsAFreshOne)
{
    quill::Rc4 kept;
    const std::string text = "Fondo Tesoreria TF14 CF01 CF02";
    std::string first = text;
    kept.Rc4Crypt("Key", first);
    for (int i = 0; i < 3; ++i) {  // same key again, and after another key
        std::string again = text;
        kept.Rc4Crypt("Key", again);
        EXPECT_EQ(again, first);
        std::string other = text;
        kept.Rc4Crypt(std::string("K\0y", 3), other);
        quill::Rc4 fresh;
        std::string expected = text;
        fresh.Rc4Crypt(std::string("K\0y", 3), expected);
        EXPECT_EQ(other, expected);
    }
    // Decrypting is encrypting again.
    kept.Rc4Crypt("Key", first);
    EXPECT_EQ(first, text);
    std::string empty;
    kept.Rc4Crypt("Key", empty);
    EXPECT_EQ(empty, "");
}

TEST(ProtectionTest, PermissionValuesAndSizes)
{
    const auto p40 = quill::ComputeProtection(20, "", "", kProducer);
    EXPECT_TRUE(p40.on);
    EXPECT_FALSE(p40.is128);
    EXPECT_EQ(p40.P, -44);
    EXPECT_EQ(p40.fileKey.size(), 5u);
    EXPECT_EQ(p40.objectKeyLength, 10);
    EXPECT_EQ(p40.O.size(), 32u);
    EXPECT_EQ(p40.U.size(), 32u);
    EXPECT_EQ(p40.fileId, "QuillPdf Library2.4.8");

    const auto p128 = quill::ComputeProtection(20 + 0x1000, "a", "b", kProducer);
    EXPECT_TRUE(p128.is128);
    EXPECT_EQ(p128.P, -3884);
    EXPECT_EQ(p128.fileKey.size(), 16u);
    EXPECT_EQ(p128.objectKeyLength, 16);
    EXPECT_EQ(p128.O.size(), 32u);
    ASSERT_EQ(p128.U.size(), 32u);
    EXPECT_EQ(p128.U.substr(16), std::string(16, ' '));

    EXPECT_EQ(quill::ComputeProtection(0, "", "", kProducer).P, -64);
    EXPECT_EQ(quill::ComputeProtection(4 + 8 + 16 + 32, "", "", kProducer).P, -4);
    EXPECT_EQ(quill::ComputeProtection(0x1000 + 0xF3C, "", "", kProducer).P, -4);
    EXPECT_EQ(quill::ComputeProtection(0x1000 + 0xFFF, "", "", kProducer).P, -1);  // no carry
}

TEST(ProtectionTest, BlankOwnerPasswordTakesTheUserPassword)
{
    for (uint32_t mode : {20u, 20u + 0x1000u}) {
        const auto blank = quill::ComputeProtection(mode, "   ", "utente", kProducer);
        const auto same = quill::ComputeProtection(mode, "utente", "utente", kProducer);
        const auto other = quill::ComputeProtection(mode, "padrone", "utente", kProducer);
        EXPECT_EQ(blank.O, same.O);
        EXPECT_EQ(blank.fileKey, same.fileKey);
        EXPECT_NE(blank.O, other.O);
    }
}

TEST(ProtectionTest, SameProducerGivesTheSameIdentifierAndKeys)
{
    const auto a = quill::ComputeProtection(20, "x", "y", kProducer);
    const auto b = quill::ComputeProtection(20, "x", "y", kProducer);
    EXPECT_EQ(a.fileId, b.fileId);
    EXPECT_EQ(a.fileKey, b.fileKey);
    EXPECT_NE(quill::ComputeProtection(20, "x", "y", "Other").fileKey, a.fileKey);
}

TEST(ProtectionTest, ObjectKeyIsDigestOfFileKeyObjectNumberAndGeneration)
{
    for (uint32_t mode : {20u, 20u + 0x1000u}) {
        const auto p = quill::ComputeProtection(mode, "o", "u", kProducer);
        const uint32_t number = 0x0A0B0C0D;  // only the three low bytes count
        const auto d = quill::Md5Digest(p.fileKey + std::string("\x0D\x0C\x0B\x00\x00", 5));
        const std::string expected(reinterpret_cast<const char*>(d.data()),
                                   static_cast<size_t>(p.objectKeyLength));
        EXPECT_EQ(p.ObjectKey(number), expected);
        EXPECT_NE(p.ObjectKey(4), p.ObjectKey(5));
    }
}

// ---------------------------------------------------------------------------
// qpdf and poppler open hand-made encrypted documents

struct ProtectedCase {
    const char* label;
    uint32_t mode;
    std::string owner;
    std::string user;
    uint32_t filterFlags;
};

void CheckWithExternalTools(const ProtectedCase& c)
{
    SCOPED_TRACE(c.label);
    const handmade::ScratchDir dir(std::string("protect_") + std::to_string(c.mode));
    handmade::Document doc;
    const std::string content =
        "BT\n/F1 12 Tf 1 0 0 1 72 720 Tm\n(TF14 ROSSI MARIO 1234.56) Tj\nET\n"
        "BT\n/F1 12 Tf 1 0 0 1 72 700 Tm\n(\\(parentesi\\) e \\\\ barra) Tj\nET\n";
    doc.content = content;
    quill::LzwEncoder lzw;
    doc.filterNames = quill::ApplyFilters(doc.content, c.filterFlags, 3, false, lzw);
    doc.title = "Titolo (cifrato) \\ \r\n fine";
    doc.protection = quill::ComputeProtection(c.mode, c.owner, c.user, kProducer);
    const std::string pdf = dir.Write("protected.pdf", handmade::Build(doc));
    const std::string effectiveOwner = c.owner.find_first_not_of(' ') == std::string::npos ? c.user : c.owner;
    const bool is128 = (c.mode & 0x1000) != 0;

    const auto check = handmade::Run("qpdf --check --password='" + c.user + "' " + pdf);
    EXPECT_EQ(check.exitCode, 0) << check.output;
    EXPECT_NE(check.output.find("No syntax or stream encoding errors found"), std::string::npos)
        << check.output;

    // The owner password is recognised, and qpdf recovers the user password from /O.
    const auto owner = handmade::Run("qpdf --show-encryption --password='" + effectiveOwner + "' " + pdf);
    EXPECT_EQ(owner.exitCode, 0) << owner.output;
    EXPECT_NE(owner.output.find(is128 ? "R = 3" : "R = 2"), std::string::npos) << owner.output;
    EXPECT_NE(owner.output.find("P = " + std::to_string(doc.protection->P)), std::string::npos) << owner.output;
    if (!c.user.empty() || !effectiveOwner.empty()) {
        EXPECT_NE(owner.output.find("Supplied password is owner password"), std::string::npos) << owner.output;
        EXPECT_NE(owner.output.find("User password = " + c.user.substr(0, 32) + "\n"), std::string::npos) << owner.output;
    }
    if ((c.mode & 8) == 0) {
        EXPECT_NE(owner.output.find("modify other: not allowed"), std::string::npos) << owner.output;
    }
    if (c.mode & 16) {
        EXPECT_NE(owner.output.find("extract for any purpose: allowed"), std::string::npos) << owner.output;
    }

    const auto withoutPassword = handmade::Run("qpdf --check " + pdf);
    if (c.user.empty()) {
        EXPECT_EQ(withoutPassword.exitCode, 0) << withoutPassword.output;
    } else {
        EXPECT_NE(withoutPassword.exitCode, 0);
        EXPECT_NE(withoutPassword.output.find("invalid password"), std::string::npos) << withoutPassword.output;
    }

    const std::string plain = dir.File("plain.pdf");
    const auto decrypt = handmade::Run("qpdf --decrypt --password='" + c.user + "' " + pdf + " " + plain);
    EXPECT_EQ(decrypt.exitCode, 0) << decrypt.output;
    const auto plainCheck = handmade::Run("qpdf --check " + plain);
    EXPECT_EQ(plainCheck.exitCode, 0) << plainCheck.output;
    EXPECT_NE(plainCheck.output.find("File is not encrypted"), std::string::npos) << plainCheck.output;
    const auto stream =
        handmade::Run("qpdf --password='" + c.user + "' --show-object=4 --filtered-stream-data " + pdf);
    EXPECT_EQ(stream.output, content);
    const auto title = handmade::Run("qpdf --password='" + c.user + "' --show-object=6 " + pdf);
    EXPECT_NE(title.output.find("Titolo \\(cifrato\\) \\\\ \\r\\n fine"), std::string::npos)
        << title.output;

    const auto info = handmade::Run("pdfinfo -upw '" + c.user + "' " + pdf);
    EXPECT_NE(info.output.find("Titolo (cifrato) \\ "), std::string::npos) << info.output;
    const auto text = handmade::Run("pdftotext -q -upw '" + c.user + "' " + pdf + " -");
    EXPECT_NE(text.output.find("TF14 ROSSI MARIO 1234.56"), std::string::npos) << text.output;
    EXPECT_NE(text.output.find("(parentesi) e \\ barra"), std::string::npos) << text.output;
}

TEST(ProtectionExternalTest, FortyBitDocumentsOpenWithTheRightPasswords)
{
    CheckWithExternalTools({"40-bit, no passwords", 20, "", "", 0});
    CheckWithExternalTools({"40-bit, user only", 20, "", "utente", 0});
    CheckWithExternalTools({"40-bit, both, LZW", 20, "padrone", "utente", 4});
    CheckWithExternalTools({"40-bit, long passwords, Flate+ASCII85", 4 + 8, std::string(40, 'p'),
                            "utente-con-una-password-lunga-oltre-32", 2 + 8});
}

TEST(ProtectionExternalTest, OneHundredTwentyEightBitDocumentsOpenWithTheRightPasswords)
{
    CheckWithExternalTools({"128-bit, no passwords", 20 + 0x1000, "", "", 0});
    CheckWithExternalTools({"128-bit, user only", 20 + 0x1000, " ", "utente", 0});
    CheckWithExternalTools({"128-bit, both, LZW", 20 + 0x1000, "padrone", "utente", 4});
    CheckWithExternalTools({"128-bit, all permissions", 0xF3C + 0x1000, "padrone", "", 2});
}

}  // namespace
