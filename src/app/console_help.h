// The Linux program's answers to `kado --help` and `kado --version`, the first thing a user
// types. Only a command line of exactly one of these words is answered; every other command line
// keeps its contract, exit codes included.
#pragma once

#include <optional>
#include <string>
#include <vector>

// The text to print for the arguments (without the program name), or nothing when they are not
// exactly "--help" or "--version".
std::optional<std::string> information_text(const std::vector<std::string>& arguments);

// The options, run modes and exit codes (the exit-code table itself, so the two cannot drift).
std::string help_text();
// "kado " and the product version.
std::string version_text();
