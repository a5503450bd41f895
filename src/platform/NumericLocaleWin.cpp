#include <windows.h>

#include <clocale>
#include <cstring>
#include <string>

#include "platform/NumericLocale.h"

namespace kv::platform {

char UserDecimalSeparator() {
    char sep[4] = {};
    const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, sep, sizeof sep);
    return n == 2 ? sep[0] : '.';  // one character and its NUL
}

// kept_[0]: the thread's numeric locale name before, when it was not "C" (then the thread has its
// own locale while the scope lasts).
CNumericScope::CNumericScope() {
    const char* current = std::setlocale(LC_NUMERIC, nullptr);
    if (current == nullptr || std::strcmp(current, "C") == 0) return;
    kept_[0] = new std::string(current);
    kept_[1] = reinterpret_cast<void*>(static_cast<intptr_t>(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE)));
    std::setlocale(LC_NUMERIC, "C");
}

CNumericScope::~CNumericScope() {
    if (kept_[0] == nullptr) return;
    auto* name = static_cast<std::string*>(kept_[0]);
    std::setlocale(LC_NUMERIC, name->c_str());
    _configthreadlocale(static_cast<int>(reinterpret_cast<intptr_t>(kept_[1])));
    delete name;
}

}  // namespace kv::platform
