#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "support/file_utils.h"
#include "support/program_files.h"

std::string module_path() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof path) return {};
    return std::string(path, static_cast<size_t>(length));
}

std::string find_on_search_path(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "";
    size_t from = 0;
    while (from <= folders.size()) {
        size_t end = folders.find(':', from);
        if (end == std::string::npos) end = folders.size();
        // An empty entry means the current folder, which a program must not pick tools from.
        if (end > from) {
            std::string candidate = join_path(folders.substr(from, end - from), name);
            if (access(candidate.c_str(), X_OK) == 0 && file_exists(candidate)) return candidate;
        }
        from = end + 1;
    }
    return {};
}

std::string program_files_folder() {
    const char* folder = std::getenv("KADO_PROGRAM_FILES");
    return folder != nullptr ? folder : "/opt";
}

std::optional<std::vector<uint8_t>> load_binary_resource(int) {
    return std::nullopt;
}
