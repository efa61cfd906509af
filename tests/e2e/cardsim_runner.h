// Makes recorder cards for the end-to-end tests with the recorder simulator of the build under
// test (cardsim, or cardsim.exe under Wine), so that both builds read cards their own build wrote.
#pragma once

#include <string>
#include <vector>

// Writes the card into card_folder and what a correct reader recovers into intended_folder
// (none when empty); options are cardsim's own ("--format=35", "--event=30"). True on success.
bool make_card(const std::string& card_folder, const std::string& intended_folder,
               const std::vector<std::string>& options);
