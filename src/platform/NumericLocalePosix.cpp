#include <langinfo.h>
#include <locale.h>

#include "platform/NumericLocale.h"

namespace kv::platform {

char UserDecimalSeparator() {
    locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0)) return '.';
    const char* radix = nl_langinfo_l(RADIXCHAR, loc);
    char sep = (radix && radix[0] && !radix[1]) ? radix[0] : '.';
    freelocale(loc);
    return sep;
}

// kept_: the "C" locale made here and the thread's locale before it.
CNumericScope::CNumericScope() {
    locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    if (c == static_cast<locale_t>(0)) return;
    kept_[0] = c;
    kept_[1] = uselocale(c);
}

CNumericScope::~CNumericScope() {
    if (kept_[0] == nullptr) return;
    uselocale(static_cast<locale_t>(kept_[1]));
    freelocale(static_cast<locale_t>(kept_[0]));
}

}  // namespace kv::platform
