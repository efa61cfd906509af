// The sizes of a card's file set, which the status checks demand and conditioning writes, and the
// names a card's root may hold besides it.
#pragma once

#include <cstdint>
#include <string_view>

#include "support/run_mode.h"

inline constexpr int32_t kConfigFileSize = 512;
inline constexpr int32_t kCnavFileSize = 8192;
// Older analysis applications put a 1024-byte cnav.dat on the card; reads still accept it.
inline constexpr int32_t kShortCnavFileSize = 1024;
inline constexpr int32_t kWavFileSize = 65536;

inline constexpr char kCardLabel[] = "VNT_CFR";
// Desktop systems create this folder on cards they mount; it is no part of a recording.
inline constexpr char kSystemVolumeInformation[] = "System Volume Information";

// Whether the run accepts the short cnav.dat: the reading modes, and for a card (not a folder
// copy) also the patient file mode.
bool accepts_short_cnav(RunMode mode, bool on_card);

// A card path of four or more characters names a folder copy of a card, not a drive.
inline bool is_folder_copy_path(const std::string_view card_path) {
    return card_path.size() >= 4;
}

bool equal_ignoring_case(std::string_view a, std::string_view b);
