#include "support/language_choice.h"

#include <utility>
#include <vector>

#include "support/machine_registry.h"

namespace {

constexpr const char* kLanguageKey = "SOFTWARE\\Vantorel\\Language";
constexpr int32_t kNone = -1;

struct LanguageParts {
    int32_t primary = kNone;
    int32_t sub = kNone;
};

LanguageParts read_parts(RegistryRoot root, const std::string& key) {
    return {read_registry_dword(root, key, "PrimaryLanguage", kNone),
            read_registry_dword(root, key, "SubLanguage", kNone)};
}

}  // namespace

// Only the 64-bit program exists, and it runs on nothing older than NT 5.2, so the older
// systems' default of reading nothing never applies.
int32_t select_language(const std::string& program_key) {
    const std::string own_key = std::string(kLanguageKey) + "\\" + program_key;
    const bool per_program =
        !program_key.empty() && read_registry_dword(RegistryRoot::kCurrentUser, kLanguageKey,
                                                    "IgnorePerAppSettings", 0) == 0;
    std::vector<std::pair<RegistryRoot, std::string>> keys;
    if (per_program)
        keys = {{RegistryRoot::kCurrentUser, own_key}, {RegistryRoot::kLocalMachine, own_key}};
    keys.emplace_back(RegistryRoot::kCurrentUser, kLanguageKey);
    keys.emplace_back(RegistryRoot::kLocalMachine, kLanguageKey);
    for (const auto& [root, key] : keys) {
        LanguageParts parts = read_parts(root, key);
        if (parts.primary < 0) continue;
        if (parts.sub < 0) parts.sub = 1;
        return static_cast<uint16_t>(static_cast<uint32_t>(parts.sub) << 10) |
               static_cast<uint16_t>(parts.primary);
    }
    return kNone;
}

void apply_language_choice(const std::string& program_key) {
    const int32_t chosen = select_language(program_key);
    set_text_language(chosen >= 0 ? static_cast<LanguageId>(chosen) : system_language());
}
