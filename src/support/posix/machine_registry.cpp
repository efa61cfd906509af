#include <cstdlib>

#include "support/ini_section_store.h"
#include "support/machine_registry.h"

std::string read_registry_string(RegistryRoot root, const std::string& key,
                                 const std::string& value) {
    const char* file = std::getenv("KADO_REGISTRY");
    if (file == nullptr || *file == '\0') return {};
    IniSectionStore store;
    store.load(file);
    const char* root_name =
        root == RegistryRoot::kLocalMachine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\";
    return store.get(root_name + key, value);
}

bool write_registry_string(RegistryRoot, const std::string&, const std::string&,
                           const std::string&) {
    return false;
}
