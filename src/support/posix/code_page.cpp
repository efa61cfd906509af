#include "support/code_page.h"

#include <langinfo.h>
#include <locale.h>

#include <string>

// Linux has no system code page; the locale that the environment selects (LC_ALL, LC_CTYPE,
// LANG) plays its part. It is opened as a separate locale object so that the process locale,
// which the rest of the program relies on for its "C" number formatting, never changes.
std::optional<unsigned> system_ansi_code_page() {
    const locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0)) return std::nullopt;
    const std::string codeset = nl_langinfo_l(CODESET, locale);
    freelocale(locale);
    return code_page_of_codeset(codeset);
}

std::string utf8_of_system_text(const std::string& text) {
    return text;
}
