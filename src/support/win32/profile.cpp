#include <windows.h>

#include "support/profile.h"

namespace {

std::string g_company = "Vantorel";

std::string section_key(const std::string& section) {
    return "Software\\" + g_company + "\\KADO\\" + section;
}

}  // namespace

void set_profile_company(const std::string& company) {
    g_company = company;
}

int32_t profile_get_int(const std::string& section, const std::string& key, int32_t default_value) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, section_key(section).c_str(), 0, KEY_READ, &handle) !=
        ERROR_SUCCESS)
        return default_value;
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    const LONG result = RegQueryValueExA(handle, key.c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS || type != REG_DWORD) return default_value;
    return static_cast<int32_t>(value);
}

bool profile_write_int(const std::string& section, const std::string& key, int32_t value) {
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, section_key(section).c_str(), 0, nullptr, 0, KEY_WRITE,
                        nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD data = static_cast<DWORD>(value);
    const LONG result = RegSetValueExA(handle, key.c_str(), 0, REG_DWORD,
                                       reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}
