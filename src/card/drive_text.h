// The card search's answer: "?" for no card, a drive such as "E:" for one, and that drive
// followed by ">2" when more than one card was found and none was chosen.
#pragma once

#include <string>

inline constexpr char kNoCardDrive[] = "?";
inline constexpr char kMoreThanOneCard[] = ">2";

inline bool has_two_cards_marker(const std::string& drive) {
    return drive.size() >= 2 && drive.compare(drive.size() - 2, 2, kMoreThanOneCard) == 0;
}

// Exactly one card: neither "?" nor the marker of several.
inline bool is_one_card(const std::string& drive) {
    return drive != kNoCardDrive && !drive.empty() && !has_two_cards_marker(drive);
}
