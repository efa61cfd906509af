// cardsim: the recorder simulator's command line. See --help.
#include <cstdio>
#include <string>
#include <vector>

#include "cardsim/lib/card_files.h"
#include "cardsim/lib/card_writer.h"
#include "cardsim/lib/recording_options.h"
#include "support/drives.h"
#include "support/file_utils.h"

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
    // A drive is written through the folder behind it; on Linux that is the drive map's target.
    const std::string root = request.drive.empty() ? "" : drive_root(request.drive[0]);
    const std::string folder = root.empty() ? request.card_folder : native_path(root);
    cardsim::RecordingResult result;
    if (!cardsim::write_card(request.description, folder, request.intended_folder, result, error)) {
        std::fprintf(stderr, "cardsim: %s\n", error.c_str());
        return 1;
    }
    if (!root.empty() && !set_volume_label(root, cardsim::kCardLabel)) {
        std::fprintf(stderr, "cardsim: cannot set the volume label of %s\n", request.drive.c_str());
        return 1;
    }
    return 0;
}
