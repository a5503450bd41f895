// Standard security handler: published MD5 and RC4 vectors, worked permission
// values, and protected documents of the writer opened by qpdf and poppler.
#include <gtest/gtest.h>

#include "pdf/PdfFormat.h"
#include "pdf/PdfTestSupport.h"
#include "pdf/Protection.h"

namespace quill {
namespace {

using namespace pdftest;

TEST(Protection, PublishedVectors) {
    auto md5 = [](const std::string& text) { const auto d = Md5Digest(text); return ToUpperHex(std::string(d.begin(), d.end())); };
    EXPECT_EQ(md5(""), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(md5("message digest"), "F96B697D7CB7938D525A2F31AAF161D0");
    Rc4 rc4;
    auto rc4Hex = [&rc4](const std::string& key, std::string text) { return rc4.Rc4Crypt(key, text), ToUpperHex(text); };
    for (int round = 0; round < 2; ++round) {  // the kept key schedule gives what a fresh one gives
        EXPECT_EQ(rc4Hex("Key", "Plaintext"), "BBF316E8D940AF0AD3");
        EXPECT_EQ(rc4Hex("Wiki", "pedia"), "1021BF0420");
        EXPECT_EQ(rc4Hex("Wiki", "pedia"), "1021BF0420");
        EXPECT_EQ(rc4Hex("Secret", "Attack at dawn"), "45A01F645FC35B383552544B9BF5");
    }
}

TEST(Protection, DocumentsOpenWithTheirPasswords) {
    // Producer "" keeps "QuillPdf Library"; the dictionary is shown from /P on.
    // 40-bit: P = 0xFFFFFF00 | ((mode + 192) & 0xFF); mode 20: 0xFFFFFFD4 = -44; mode 4: 0xFFFFFFC4 = -60.
    // 128-bit: P = 0xFFFFF0C0 | (mode & 0xFFF); mode 20: 0xFFFFF0D4 = -3884; 0xF3C: 0xFFFFFFFC = -4.
    struct Case {
        int mode;
        std::string owner, user;
        int compression;
        const char* producer;
        char version;
        const char* dictionary;
    };
    const Case cases[] = {
        {20, "padrone", "utente", 4, "", '3', "/P -44\r/V 1 /R 2 >>"},
        {20 + 0x1000, "   ", "segreto", 0, "Prod", '4', "/P -3884\r/V 2 /R 3 /Length 128 >>"},
        {4, "padrone", "", 2, "", '3', "/P -60\r/V 1 /R 2 >>"},
        {0x1000 + 0xF3C, std::string(40, 'p'), "utente-con-una-password-oltre-32", 2 + 8, "", '4',
         "/P -4\r/V 2 /R 3 /Length 128 >>"},
        {0x1000, "", "", 16, "", '4', "/P -3904\r/V 2 /R 3 /Length 128 >>"},
    };
    const std::string title = "Lista (TF14) \\ citt\xE0";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dictionary);
        const std::string owner = c.owner.find_first_not_of(' ') == std::string::npos ? c.user : c.owner;
        const Doc doc = WriteDoc([&](QuillPdf& p) { p.BeginPage(), p.SetFont("Courier", 10), p.DrawText(10, 20, title); },
                                 [&](QuillPdf& p) {
                                     p.SetDocProperty(title, "", "", "", c.producer), p.SetCompression(static_cast<Filter>(c.compression), 3);
                                     p.SetProtection(static_cast<Permit>(c.mode), c.owner, c.user);
                                 },
                                 c.user);
        EXPECT_EQ(doc.bytes[7], c.version);
        EXPECT_NE(doc.bytes.find("\n7 0 obj\n<< /Filter /Standard \r/O ("), std::string::npos);
        EXPECT_NE(doc.bytes.find(std::string(")\r") + c.dictionary + "\nendobj\n8 0 obj\n"), std::string::npos);
        // The identifier: producer name and version in upper-case hexadecimal.
        const std::string id = *c.producer ? "50726F64322E342E38" : "5175696C6C506466204C696272617279322E342E38";
        EXPECT_NE(doc.bytes.find("\n/Encrypt 7 0 R /ID [<" + id + "><" + id + ">]\n>>\nstartxref\n"), std::string::npos);
        EXPECT_EQ(doc.bytes.find("Lista"), std::string::npos);  // the title is encrypted

        const kvtest::CommandResult shown = RunCommand("qpdf --show-encryption --password=" + Quoted(owner) + " " + Quoted(doc.path));
        EXPECT_NE(shown.output.find(c.version == '3' ? "R = 2\n" : "R = 3\n"), std::string::npos) << shown.output;
        if (!owner.empty()) {
            EXPECT_NE(shown.output.find("Supplied password is owner password"), std::string::npos) << shown.output;
            EXPECT_NE(shown.output.find("User password = " + c.user.substr(0, 32) + "\n"), std::string::npos) << shown.output;
        }
        EXPECT_EQ(RunCommand("qpdf --check " + Quoted(doc.path)).status == 0, c.user.empty());
        for (const std::string& password : {"-upw " + Quoted(c.user), "-opw " + Quoted(owner)})
            EXPECT_EQ(RunCommand("pdftotext -enc UTF-8 " + password + " " + Quoted(doc.path) + " -").output,
                      "Lista (TF14) \\ citt\xC3\xA0\n\n\f");
        const std::string info = RunCommand("pdfinfo -enc UTF-8 -upw " + Quoted(c.user) + " " + Quoted(doc.path)).output;
        EXPECT_NE(info.find("Title:           Lista (TF14) \\ citt\xC3\xA0\n"), std::string::npos) << info;
    }
}

}  // namespace
}  // namespace quill
