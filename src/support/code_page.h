// The system's default ANSI code page: the character set in which patient texts reach the card
// record. Card storage derives the record's character-set code from it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Windows: the system default ANSI code page. Linux: the code page of the same character set as
// the code set of the locale that the environment selects. Nothing when it cannot be told.
std::optional<unsigned> system_ansi_code_page();

// The Windows code page number of a locale code-set name such as "ISO-8859-2" or "CP1255"
// (case, hyphens and underscores ignored); nothing for names without a counterpart here.
std::optional<unsigned> code_page_of_codeset(std::string_view codeset);

// A text of the system (a path, a command line, bytes from a card) as UTF-8, the encoding of the
// program's interface texts. Windows converts from the ANSI code page; Linux texts are UTF-8.
std::string utf8_of_system_text(const std::string& text);
