#include "support/string_table.h"

#include "support/text_catalogue.h"

namespace {

LanguageId& current_language() {
    static LanguageId language = kLanguageEnglish;
    return language;
}

}  // namespace

std::string load_text(int id, LanguageId language) {
    if (auto text = find_text(id, language)) return *text;
    for (const LanguageId held : kTextLanguages)
        if (held != language && primary_language(held) == primary_language(language))
            if (auto text = find_text(id, held)) return *text;
    return find_text(id, kLanguageEnglish).value_or(std::string());
}

void set_text_language(LanguageId language) {
    current_language() = language;
}

LanguageId text_language() {
    return current_language();
}

std::string load_string(int id) {
    return load_text(id, text_language());
}
