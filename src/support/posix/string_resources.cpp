// The Linux program's texts: the table that the build generates from resources/strings.
#include <algorithm>

#include "support/string_table.h"
#include "support/text_catalogue.h"

std::optional<std::string> find_text(int id, LanguageId language) {
    const auto held = std::find(kTextLanguages.begin(), kTextLanguages.end(), language);
    const auto key = std::lower_bound(kTextIds.begin(), kTextIds.end(), id);
    if (held == kTextLanguages.end() || key == kTextIds.end() || *key != id) return std::nullopt;
    return kTextTable[held - kTextLanguages.begin()][key - kTextIds.begin()];
}
