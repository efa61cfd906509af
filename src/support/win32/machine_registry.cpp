#include <windows.h>

#include <string>
#include <vector>

#include "support/machine_registry.h"

namespace {

HKEY root_key(RegistryRoot root) {
    return root == RegistryRoot::kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

}  // namespace

std::string read_registry_string(RegistryRoot root, const std::string& key,
                                 const std::string& value) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root_key(root), key.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &handle) !=
        ERROR_SUCCESS)
        return {};
    // Asking for expandable strings without RRF_NOEXPAND is refused as an invalid parameter.
    constexpr DWORD kStrings = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    DWORD size = 0;
    std::vector<char> text;
    // Asked for its size first, so a long value is read whole, never cut.
    if (RegGetValueA(handle, nullptr, value.c_str(), kStrings, nullptr, nullptr, &size) ==
        ERROR_SUCCESS) {
        text.assign(size + 1, '\0');
        if (RegGetValueA(handle, nullptr, value.c_str(), kStrings, nullptr, text.data(), &size) !=
            ERROR_SUCCESS)
            text.clear();
    }
    RegCloseKey(handle);
    return text.empty() ? std::string() : std::string(text.data());
}

int32_t read_registry_dword(RegistryRoot root, const std::string& key, const std::string& value,
                            int32_t default_value) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root_key(root), key.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &handle) !=
        ERROR_SUCCESS)
        return default_value;
    DWORD number = 0;
    DWORD size = sizeof number;
    const bool found = RegGetValueA(handle, nullptr, value.c_str(), RRF_RT_REG_DWORD, nullptr,
                                    &number, &size) == ERROR_SUCCESS;
    RegCloseKey(handle);
    return found ? static_cast<int32_t>(number) : default_value;
}

bool write_registry_string(RegistryRoot root, const std::string& key, const std::string& value,
                           const std::string& data) {
    HKEY handle = nullptr;
    if (RegCreateKeyExA(root_key(root), key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY,
                        nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExA(handle, value.c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(data.c_str()),
                                       static_cast<DWORD>(data.size() + 1));
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}
