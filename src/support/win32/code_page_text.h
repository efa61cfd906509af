// Separator search in text of a given ANSI code page; the file utilities use the system's code
// page, tests name one explicitly.
#pragma once

#include <cstddef>
#include <string>

// Position of the first backslash at or after `from` (a character boundary) that is a character
// of its own, not the trail byte of a double-byte character; npos when there is none.
size_t find_separator_in_code_page(const std::string& text, size_t from, unsigned code_page);
