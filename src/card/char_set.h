// Character sets of the card record's patient texts: the record's char_set code and the visual
// order in which Hebrew texts are stored. Used when a record is built and when texts are shown.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr uint8_t kCharSetDefault = 129;
inline constexpr uint8_t kCharSetCentralEuropean = 130;
inline constexpr uint8_t kCharSetHebrew = 131;

// The record's code for a Windows code page; unknown or absent code pages are the default set.
uint8_t char_set_of_code_page(std::optional<unsigned> code_page);

// The record's code for the system's default ANSI code page.
uint8_t system_char_set();

// Reverses every maximal run of right-to-left bytes and keeps all other bytes in place. The
// recorder's display shows text left to right only, so Hebrew texts are stored in this visual
// order; applying the transform again restores the logical order.
std::string reverse_rtl_runs(std::string_view text);
