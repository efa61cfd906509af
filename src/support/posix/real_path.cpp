#include <climits>
#include <cstdlib>
#include <string>

#include "support/file_utils.h"

std::string real_path(const std::string& path) {
    char resolved[PATH_MAX];
    if (realpath(native_path(path).c_str(), resolved) == nullptr) return {};
    return resolved;
}
