#include <array>
#include <cstdlib>
#include <string>
#include <utility>

#include "support/language_choice.h"

namespace {

// The ISO 639-1 code of each language the program holds texts for.
constexpr std::array<std::pair<const char*, LanguageId>, 9> kLocaleLanguages{{
    {"en", 1033},
    {"de", 1031},
    {"fi", 1035},
    {"fr", 1036},
    {"it", 1040},
    {"pl", 1045},
    {"ru", 1049},
    {"sv", 1053},
    {"es", 3082},
}};

}  // namespace

// The locale variables in the order the C library ranks them for messages; "de_DE.UTF-8" gives
// "de". "C", "POSIX" and languages without texts of their own read as English.
LanguageId system_language() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0') continue;
        const std::string locale = value;
        const std::string code = locale.substr(0, locale.find_first_of("_.@"));
        for (const auto& [iso, language] : kLocaleLanguages)
            if (code == iso) return language;
        return kLanguageEnglish;
    }
    return kLanguageEnglish;
}
