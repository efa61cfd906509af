// Splits the command-line text into arguments and parses them into the run request, the output
// settings and the card reader's read settings. The start-up code turns a failed parse into exit
// code 100; the parser itself shows nothing.
#pragma once

#include <string>
#include <vector>

#include "app/run_request.h"
#include "card/read_settings.h"
#include "extract/output_settings.h"

// Blank-separated tokens; a token that starts with a double quote runs to the next one, and a
// quote inside an unquoted token makes the next quote its end (the quote itself is kept, to be
// removed from the option's value later). Tokens are never cut, however long.
void tokenize_command_line(const std::string& text, std::vector<std::string>& arguments);

// The standard library's atoi reading (leading blanks, sign, digits up to the first non-digit),
// clamped to the 32-bit range instead of overflowing.
int32_t parse_decimal(const std::string& text);

// True when the command line is acceptable. Creates a missing output folder (one level) after a
// successful parse; a failure to create it is left for the folder check to report.
bool parse_command_line(RunRequest& request, const std::vector<std::string>& arguments,
                        OutputSettings& output, ReadSettings& reader);
