#include "platform/Messages.h"

#include <ostream>

#include "platform/Encoding.h"

namespace kv::platform {

namespace {
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

Answer ConsoleMessageBoxes::Show(const Message& message) {
    // CR breaks the lines; any other control byte comes from the data (a damaged name or header) and
    // would drive the terminal: it is shown as "?".
    auto printable = [](std::string text) {
        for (char& c : text)
            if (c == '\r')
                c = '\n';
            else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                c = '?';
        return Cp1252ToUtf8(text);
    };
    out_ << "[" << IconName(message.icon) << "] " << printable(message.title) << ": " << printable(message.text);
    if (message.buttons == Buttons::YesNo) out_ << " -> " << (safeAnswer_ == Answer::Yes ? "Si" : "No");
    out_ << std::endl;
    return message.buttons == Buttons::YesNo ? safeAnswer_ : Answer::Ok;
}

}  // namespace kv::platform
