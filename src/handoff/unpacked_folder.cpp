#include "handoff/unpacked_folder.h"

#include <initializer_list>

#include "support/file_finder.h"
#include "support/file_utils.h"

namespace {

bool holds_files(const std::string& folder, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (!file_exists(join_path(folder, name))) return false;
    return true;
}

}  // namespace

bool is_unpacked_recording(const std::string& folder) {
    return holds_files(folder, {"PATIENT.WAV", "PATEVENT.DAT", "RAWECG1.DAT", "PATIENT.TXT",
                                "PATSUMM.DAT"}) ||
           holds_files(folder, {"CEFDESC.TXT", "RAWECG1.DAT", "PATIENT.TXT"});
}

uint64_t file_length(const std::string& path) {
    const FileFinder finder(path, kFindFiles);
    return finder.done() ? 0 : finder.size();
}

int folder_channel_count(const std::string& folder) {
    for (int n = 3; n >= 1; --n)
        if (file_length(join_path(folder, "RAWECG" + std::to_string(n) + ".DAT")) > 0) return n;
    return 0;
}
