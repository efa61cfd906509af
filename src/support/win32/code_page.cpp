#include <windows.h>

#include "support/code_page.h"
#include "support/win32/wide_text.h"

std::optional<unsigned> system_ansi_code_page() {
    return GetACP();
}

std::string utf8_of_system_text(const std::string& text) {
    return utf8_of_wide(wide_of_system_text(text));
}
