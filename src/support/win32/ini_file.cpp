#include <windows.h>

#include <string>
#include <vector>

#include "support/ini_file.h"

std::string ini_section_names(const std::string& path, size_t capacity) {
    std::vector<char> buffer(capacity);
    const DWORD count =
        GetPrivateProfileSectionNamesA(buffer.data(), static_cast<DWORD>(capacity), path.c_str());
    return std::string(buffer.data(), count);
}

std::string ini_section_entries(const std::string& path, const std::string& section,
                                size_t capacity) {
    std::vector<char> buffer(capacity);
    const DWORD count = GetPrivateProfileSectionA(section.c_str(), buffer.data(),
                                                  static_cast<DWORD>(capacity), path.c_str());
    return std::string(buffer.data(), count);
}

bool equal_ignoring_case(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.data(),
                          static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}
