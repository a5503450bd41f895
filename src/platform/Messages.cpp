#include "platform/Messages.h"

#include <ostream>

namespace kv::platform {

namespace {
// Code points of 0x80..0x9F in Windows-1252; 0 where the code page leaves the byte undefined.
constexpr char32_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

const char* IconName(Icon icon) {
    switch (icon) {
    case Icon::Information: return "INFO";
    case Icon::Critical: return "ERRORE";
    case Icon::Exclamation: return "ATTENZIONE";
    case Icon::Question: return "DOMANDA";
    case Icon::None: break;
    }
    return "MESSAGGIO";
}
}  // namespace

std::string Cp1252ToUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (unsigned char c : bytes) {
        char32_t cp = c;
        if (c >= 0x80 && c < 0xA0) cp = kHigh[c - 0x80] ? kHigh[c - 0x80] : U'?';
        AppendUtf8(out, cp);
    }
    return out;
}

std::string Utf8ToCp1252(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        char32_t cp;
        size_t n;
        if (c < 0x80) { cp = c; n = 1; }
        else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size()) { cp = ((c & 0x1F) << 6) | (utf8[i + 1] & 0x3F); n = 2; }
        else if ((c & 0xF0) == 0xE0 && i + 2 < utf8.size()) {
            cp = ((c & 0x0F) << 12) | ((utf8[i + 1] & 0x3F) << 6) | (utf8[i + 2] & 0x3F); n = 3;
        } else if ((c & 0xF8) == 0xF0 && i + 3 < utf8.size()) { cp = 0x10000; n = 4; }
        else { cp = U'?'; n = 1; }
        i += n;
        if (cp < 0x80 || (cp >= 0xA0 && cp < 0x100)) { out += static_cast<char>(cp); continue; }
        char mapped = '?';
        for (int k = 0; k < 32; ++k)
            if (kHigh[k] == cp) { mapped = static_cast<char>(0x80 + k); break; }
        out += mapped;
    }
    return out;
}

Answer ConsoleMessageBoxes::Show(const Message& message) {
    // CR breaks the lines; any other control byte comes from the data (a damaged name or header) and
    // would drive the terminal: it is shown as "?".
    auto printable = [](std::string text) {
        for (char& c : text)
            if (c == '\r') c = '\n';
            else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
        return Cp1252ToUtf8(text);
    };
    out_ << "[" << IconName(message.icon) << "] " << printable(message.title) << ": " << printable(message.text);
    if (message.buttons == Buttons::YesNo)
        out_ << " -> " << (safeAnswer_ == Answer::Yes ? "Si" : "No");
    out_ << std::endl;
    if (message.buttons == Buttons::Ok) return Answer::Ok;
    return safeAnswer_;
}

Answer ScriptedMessageBoxes::Show(const Message& message) {
    shown_.push_back(message);
    if (message.buttons == Buttons::Ok) return Answer::Ok;
    if (answers_.empty()) return Answer::No;
    Answer a = answers_.front();
    answers_.pop_front();
    return a;
}

std::vector<std::string> ScriptedMessageBoxes::texts() const {
    std::vector<std::string> out;
    for (const auto& m : shown_) out.push_back(m.text);
    return out;
}

}  // namespace kv::platform
