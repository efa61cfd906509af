#include "cardsim_runner.h"

#include "harness.h"

bool make_card(const std::string& card_folder, const std::string& intended_folder,
               const std::vector<std::string>& options) {
    std::vector<std::string> argv = tool_argv("cardsim", {});
    argv.push_back("--card=" + host_path(card_folder));
    if (!intended_folder.empty()) argv.push_back("--intended=" + host_path(intended_folder));
    argv.insert(argv.end(), options.begin(), options.end());
    return run_program(argv, {}, 300) == 0;
}
