#include "support/version_info.h"

#include <windows.h>

#include <cstdio>

#include "support/code_page.h"
#include "support/win32/wide_text.h"

namespace {

std::wstring own_program_path() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

}  // namespace

VersionInfo::VersionInfo() {
    load(own_program_path());
}

VersionInfo::VersionInfo(const std::string& path) {
    load(wide_of_utf8(utf8_of_system_text(path)));
}

void VersionInfo::load(const std::wstring& wide_path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(wide_path.c_str(), &ignored);
    if (size == 0) return;
    m_data.resize(size);
    if (!GetFileVersionInfoW(wide_path.c_str(), 0, size, m_data.data())) {
        m_data.clear();
        return;
    }
    void* found = nullptr;
    UINT length = 0;
    if (VerQueryValueW(m_data.data(), L"\\VarFileInfo\\Translation", &found, &length) &&
        length >= 2 * sizeof(WORD)) {
        const auto* pair = static_cast<const WORD*>(found);
        char text[9];
        std::snprintf(text, sizeof text, "%04x%04x", pair[0], pair[1]);
        m_translation = text;
        m_language = pair[0];
        m_has_translation = true;
    }
    if (!VerQueryValueW(m_data.data(), L"\\", &found, &length)) m_has_translation = false;
}

std::string VersionInfo::string_value(const std::string& name) const {
    if (m_data.empty()) return {};
    const std::wstring query = wide_of_utf8("\\StringFileInfo\\" + m_translation + "\\" + name);
    void* found = nullptr;
    UINT length = 0;
    // The buffer is not changed by the query; the API merely lacks the const.
    auto* data = const_cast<unsigned char*>(m_data.data());
    if (!VerQueryValueW(data, query.c_str(), &found, &length) || length == 0) return {};
    const std::wstring_view value(static_cast<const wchar_t*>(found), length);
    return utf8_of_wide(value.substr(0, value.find(L'\0')));
}
