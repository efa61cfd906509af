// The command line and description files of the cardsim tool: "--name=value" options (or the
// same "name=value" lines in a description file) that fill a RecordingSpec, and the help text
// that documents each of them and the intended-output files.
#pragma once

#include <string>
#include <vector>

#include "cardsim/lib/recording_spec.h"

namespace cardsim {

struct ToolRequest {
    RecordingSpec description;
    std::string card_folder;
    std::string drive;  // "E:" when the card is a drive root
    std::string intended_folder;
    bool help = false;
};

// Applies the arguments in order; false with `error` set on the first bad one.
bool parse_arguments(const std::vector<std::string>& args, ToolRequest& request,
                     std::string& error);

std::string help_text();

}  // namespace cardsim
