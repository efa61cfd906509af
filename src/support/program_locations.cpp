#include "support/file_utils.h"
#include "support/machine_registry.h"
#include "support/program_files.h"

namespace {

constexpr const char* kLocationValue = "Location";

}  // namespace

std::string module_folder() {
    const std::string path = module_path();
    return path.empty() ? std::string() : folder_of(path);
}

std::string install_path() {
    const std::string path =
        read_registry_string(RegistryRoot::kLocalMachine,
                             "Software\\Vantorel\\Pulsenote CF Interface Program", "Install Path");
    return !path.empty() && file_exists(path) ? path : std::string();
}

std::string report_manager_path() {
    const std::string folder = module_folder();
    const std::string candidates[] = {
        read_registry_string(RegistryRoot::kLocalMachine, "Software\\Vantorel\\Rarevo Zavarud",
                             kLocationValue),
        read_registry_string(RegistryRoot::kCurrentUser, "Software\\Vantorel\\- Rarevo Zavarud -",
                             kLocationValue),
        folder.empty() ? std::string() : join_path(folder, "VEDODAD.EXE"),
        folder.empty() ? std::string() : join_path(folder, "VURIRI.EXE"),
        join_path(join_path(join_path("C:", "RAVAZUZO"), "SYSTEM"), "VEDODAD.EXE"),
    };
    for (const std::string& candidate : candidates)
        if (!candidate.empty() && file_exists(candidate)) return candidate;
    return {};
}
