#include <windows.h>

#include <string>

#include "support/file_backend.h"
#include "support/win32/code_page_text.h"

// In double-byte code pages (Japanese, Chinese, Korean) the second byte of a character may be
// 0x5C, the backslash, so the scan steps over each lead byte's trail byte.
size_t find_separator_in_code_page(const std::string& text, size_t from, unsigned code_page) {
    for (size_t i = from; i < text.size(); ++i) {
        const BYTE c = static_cast<BYTE>(text[i]);
        if (c == '\\') return i;
        if (IsDBCSLeadByteEx(code_page, c)) ++i;
    }
    return std::string::npos;
}

size_t find_separator(const std::string& text, size_t from) {
    return find_separator_in_code_page(text, from, CP_ACP);
}
