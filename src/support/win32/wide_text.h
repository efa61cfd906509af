// Conversions between the program's UTF-8 interface texts and the UTF-16 of the wide-character
// calls, which show every language right whatever the system code page.
#pragma once

#include <string>
#include <string_view>

std::wstring wide_of_utf8(std::string_view text);
std::string utf8_of_wide(std::wstring_view text);

// The same for the system's texts (paths, names from the card) in the system code page.
std::wstring wide_of_system_text(std::string_view text);
std::string system_text_of_wide(std::wstring_view text);
