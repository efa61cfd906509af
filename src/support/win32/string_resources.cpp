// The Windows program's texts: its own STRINGTABLE resources, generated per language from
// resources/strings. Strings live in blocks of 16 (block id / 16 + 1), each entry a length word
// and that many UTF-16 units; an absent id has length 0.
#include <windows.h>

#include "support/string_table.h"
#include "support/win32/wide_text.h"

namespace {

const LPCWSTR kStringType = MAKEINTRESOURCEW(6);  // RT_STRING in its wide form

struct LanguageSearch {
    WORD wanted;
    bool found;
};

BOOL CALLBACK note_language(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR search) {
    auto& state = *reinterpret_cast<LanguageSearch*>(search);
    state.found = state.found || language == state.wanted;
    return !state.found;
}

// FindResourceEx falls back to other languages on its own; the fallback order is ours to choose,
// so a block counts only when it exists in exactly this language.
bool holds_block(HMODULE module, LPCWSTR block, WORD language) {
    LanguageSearch search{language, false};
    EnumResourceLanguagesW(module, kStringType, block, note_language,
                           reinterpret_cast<LONG_PTR>(&search));
    return search.found;
}

}  // namespace

std::optional<std::string> find_text(int id, LanguageId language) {
    if (id < 0 || id > 0xFFFF) return std::nullopt;
    const HMODULE module = GetModuleHandleW(nullptr);
    const LPCWSTR block = MAKEINTRESOURCEW(id / 16 + 1);
    if (!holds_block(module, block, language)) return std::nullopt;
    const HRSRC found = FindResourceExW(module, kStringType, block, language);
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* entry = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (!entry) return std::nullopt;
    const WCHAR* const end = entry + SizeofResource(module, found) / sizeof(WCHAR);
    for (int skip = id % 16; skip > 0 && entry < end; --skip)
        entry += 1 + *entry;
    if (entry >= end || *entry == 0 || entry + 1 + *entry > end) return std::nullopt;
    return utf8_of_wide(std::wstring_view(entry + 1, *entry));
}
