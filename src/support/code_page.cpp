#include "support/code_page.h"

#include <array>
#include <string>
#include <utility>

std::optional<unsigned> code_page_of_codeset(std::string_view codeset) {
    // C libraries spell the same code set in several ways ("ISO-8859-8", "iso88598",
    // "ISO_8859-8"), so names are compared with case and separators removed.
    std::string key;
    for (const char c : codeset) {
        if (c == '-' || c == '_') continue;
        key += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    static constexpr std::array<std::pair<std::string_view, unsigned>, 12> kCodePages{{
        {"ISO88592", 28592},
        {"CP1250", 1250},
        {"WINDOWS1250", 1250},
        {"ISO88598", 28598},
        {"CP1255", 1255},
        {"WINDOWS1255", 1255},
        {"CP862", 862},
        {"IBM862", 862},
        {"ISO88591", 28591},
        {"CP1252", 1252},
        {"ANSIX3.41968", 20127},
        {"UTF8", 65001},
    }};
    for (const auto& [name, code_page] : kCodePages) {
        if (name == key) return code_page;
    }
    return std::nullopt;
}
