// The card's file set as card storage and the extraction name and open it inside a card folder
// (a card root or a folder copy of a card).
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "support/card_file.h"
#include "support/file_utils.h"

inline constexpr char kConfigFileName[] = "config.dat";
inline constexpr char kEcgFileName[] = "ecg.dat";

inline std::string card_file_path(const std::string& card_folder, const char* name) {
    return join_path(card_folder, name);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using CardFile = std::unique_ptr<std::FILE, FileCloser>;

// Opens a card file for reading in byte mode; empty when it cannot be opened or is a link.
inline CardFile open_card_file_for_reading(const std::string& card_folder, const char* name) {
    return CardFile(open_card_file_read(card_file_path(card_folder, name)));
}
