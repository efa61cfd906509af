#include <windows.h>

#include "support/code_page.h"
#include "support/win32/wide_text.h"

std::optional<unsigned> system_ansi_code_page() {
    return GetACP();
}

std::string utf8_of_system_text(const std::string& text) {
    const int size = static_cast<int>(text.size());
    std::wstring wide(MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return utf8_of_wide(wide);
}
