// cardsim: the recorder simulator's command line. See --help.
#include <cstdio>
#include <string>
#include <vector>

#include "cardsim/lib/card_writer.h"
#include "cardsim/lib/recording_options.h"

int main(int argc, char** argv) {
    cardsim::ToolRequest request;
    std::string error;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!cardsim::parse_arguments(args, request, error)) {
        std::fprintf(stderr, "cardsim: %s\n(cardsim --help lists the options)\n", error.c_str());
        return 2;
    }
    if (request.help || (request.card_folder.empty() && request.drive.empty())) {
        std::fputs(cardsim::help_text().c_str(), request.help ? stdout : stderr);
        return request.help ? 0 : 2;
    }
    cardsim::RecordingResult result;
    if (!cardsim::write_card(request.spec, request.card_folder, request.intended_folder, result,
                             error)) {
        std::fprintf(stderr, "cardsim: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
