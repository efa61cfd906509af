// The program's texts by string id (string_ids.h) in the nine languages of resources/strings,
// shared by both builds. Every message box and window text comes from here, so that the language
// chosen at start-up applies everywhere. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A Windows language identifier: primary language in the low 10 bits, sub-language above.
using LanguageId = uint16_t;

inline constexpr LanguageId kLanguageEnglish = 1033;

constexpr LanguageId primary_language(LanguageId language) {
    return language & 0x3FF;
}

// The text exactly as the language holds it; nothing when it holds no text for the id. Windows
// reads the program's own string resources, Linux the table built from the same sources.
std::optional<std::string> find_text(int id, LanguageId language);

// The text in the language, else in a held language of the same primary language (1034, Spanish
// traditional sort, gets 3082), else in English; empty for an id no language holds.
std::string load_text(int id, LanguageId language);

// The language that load_string uses: English until start-up chooses another.
void set_text_language(LanguageId language);
LanguageId text_language();

// The text of the id in the current language.
std::string load_string(int id);
