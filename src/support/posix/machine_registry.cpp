#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "support/ini_section_store.h"
#include "support/machine_registry.h"

namespace {

constexpr std::string_view kDwordPrefix = "dword:";

// The data as the file holds it, typed or not.
std::string stored_data(RegistryRoot root, const std::string& key, const std::string& value) {
    const char* file = std::getenv("KADO_REGISTRY");
    if (file == nullptr || *file == '\0') return {};
    IniSectionStore store;
    store.load(file);
    const char* root_name =
        root == RegistryRoot::kLocalMachine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\";
    return store.get(root_name + key, value);
}

}  // namespace

std::string read_registry_string(RegistryRoot root, const std::string& key,
                                 const std::string& value) {
    std::string data = stored_data(root, key, value);
    return data.starts_with(kDwordPrefix) ? std::string() : data;
}

int32_t read_registry_dword(RegistryRoot root, const std::string& key, const std::string& value,
                            int32_t default_value) {
    const std::string data = stored_data(root, key, value);
    if (!data.starts_with(kDwordPrefix)) return default_value;
    const std::string_view digits = std::string_view(data).substr(kDwordPrefix.size());
    uint32_t number = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), number, 16);
    if (error != std::errc() || end != digits.data() + digits.size() || digits.size() > 8)
        return default_value;
    return static_cast<int32_t>(number);
}

bool write_registry_string(RegistryRoot, const std::string&, const std::string&,
                           const std::string&) {
    return false;
}
