#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "support/ini_section_store.h"
#include "support/machine_registry.h"
#include "support/posix/config_folder.h"

namespace {

constexpr std::string_view kDwordPrefix = "dword:";

constexpr const char* kRegistryFileName = "registry.ini";
constexpr const char* kMachineRegistryDefault = "/etc/kado/registry.ini";

std::string environment_or(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}

// The machine's values are shared by every user of the computer; the user's live beside the
// profile.
std::string registry_file(RegistryRoot root) {
    if (root == RegistryRoot::kLocalMachine)
        return environment_or("KADO_REGISTRY", kMachineRegistryDefault);
    return kado_config_folder() + "/" + kRegistryFileName;
}

// The data as the root's file holds it, typed or not.
std::string stored_data(RegistryRoot root, const std::string& key, const std::string& value) {
    IniSectionStore store;
    store.load(registry_file(root));
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
