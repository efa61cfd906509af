#include "support/win32/wide_text.h"

#include <windows.h>

namespace {

std::wstring wide_of(std::string_view text, UINT code_page) {
    const int size = static_cast<int>(text.size());
    std::wstring wide(MultiByteToWideChar(code_page, 0, text.data(), size, nullptr, 0), L'\0');
    MultiByteToWideChar(code_page, 0, text.data(), size, wide.data(),
                        static_cast<int>(wide.size()));
    return wide;
}

std::string narrow_of(std::wstring_view text, UINT code_page) {
    const int size = static_cast<int>(text.size());
    std::string narrow(
        WideCharToMultiByte(code_page, 0, text.data(), size, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(code_page, 0, text.data(), size, narrow.data(),
                        static_cast<int>(narrow.size()), nullptr, nullptr);
    return narrow;
}

}  // namespace

std::wstring wide_of_utf8(std::string_view text) {
    return wide_of(text, CP_UTF8);
}

std::string utf8_of_wide(std::wstring_view text) {
    return narrow_of(text, CP_UTF8);
}

std::wstring wide_of_system_text(std::string_view text) {
    return wide_of(text, CP_ACP);
}

std::string system_text_of_wide(std::wstring_view text) {
    return narrow_of(text, CP_ACP);
}
