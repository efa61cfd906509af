// Free and total space of the volume that holds a path. The path is cut back to a folder by fixed
// rules rather than by asking the file system, and the 32-bit results saturate.
#include <cstdint>
#include <limits>
#include <string>

#include "support/file_backend.h"
#include "support/file_utils.h"

namespace {

// The folder whose volume is measured: the path without trailing separators, cut at its last
// separator when that lies at `min_cut` or later, unless the path is a bare drive or an existing
// folder. The total-size queries cut only from position 4 on, so "E:\ecg.dat" measures
// "E:\ecg.dat\" itself and fails; callers pass folders there.
std::string measured_folder(const std::string& path, size_t min_cut) {
    std::string folder = trim_right_char(path, kPathSeparator);
    if (!is_bare_drive(folder) && !folder_exists(folder)) {
        const std::string parent = folder_with_slash(folder);
        if (!parent.empty() && parent.size() - 1 >= min_cut)
            folder = parent.substr(0, parent.size() - 1);
    }
    return folder + kPathSeparator;
}

int32_t clamp_to_int32(uint64_t bytes) {
    constexpr uint64_t kMax = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(bytes > kMax ? kMax : bytes);
}

}  // namespace

int32_t free_space(const std::string& path) {
    uint64_t free_to_caller = 0;
    uint64_t total = 0;
    if (!disk_space(measured_folder(path, 2), free_to_caller, total)) return 0;
    return clamp_to_int32(free_to_caller);
}

int32_t total_size(const std::string& path) {
    return clamp_to_int32(total_size64(path));
}

uint64_t total_size64(const std::string& path) {
    uint64_t free_to_caller = 0;
    uint64_t total = 0;
    if (!disk_space(measured_folder(path, 4), free_to_caller, total)) return 0;
    return total;
}
