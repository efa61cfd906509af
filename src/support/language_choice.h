// Which of the nine languages the program shows: the choice stored in the registry (the
// program's own key before the shared one, the user's before the machine's, unless the user
// turned per-program settings off), else the system's user-interface language.
#pragma once

#include <cstdint>
#include <string>

#include "support/string_table.h"

// The registry's choice as a language identifier (sub-language above the 10-bit primary
// language; a missing sub-language counts as 1), or -1 when no key holds a primary language.
int32_t select_language(const std::string& program_key);

// The system's user-interface language: Windows' own; on Linux the first of LC_ALL,
// LC_MESSAGES and LANG that is set, English for a language the program holds no texts for.
LanguageId system_language();

// Applies the registry's choice, else the system's, to every text the program loads.
void apply_language_choice(const std::string& program_key);
