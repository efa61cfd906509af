// The characters of the card's patient texts, which arrive as Windows-1252 bytes from a card and
// as UTF-8 from a caller: the EDF+ header and the overview page both decode them here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Valid UTF-8 as its code points, any other text as Windows-1252 bytes (in 0xA0..0xFF both agree
// with Unicode).
std::vector<uint32_t> text_code_points(std::string_view text);

// UTF-8 of the text; the C1 controls of Windows-1252 text, which have no place in a page, as '?'.
std::string utf8_text(std::string_view text);
