// Volume labels and space on Windows.
#include <windows.h>

#include <cstdint>
#include <string>

#include "support/drives.h"
#include "support/file_backend.h"
#include "support/file_utils.h"

std::string volume_label(char letter) {
    char label[MAX_PATH + 1];
    if (!GetVolumeInformationA(drive_root(letter).c_str(), label, sizeof label, nullptr, nullptr,
                               nullptr, nullptr, 0))
        return "?";
    return label;
}

bool set_volume_label(const std::string& root, const std::string& label) {
    return SetVolumeLabelA(root.c_str(), label.c_str()) != 0;
}

bool can_set_volume_label(const std::string& root) {
    DWORD flags = 0;
    if (!GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0))
        return false;
    return (flags & FILE_READ_ONLY_VOLUME) == 0;
}

std::string volume_label_commands(const std::string&, const std::string&) {
    return {};
}

bool disk_space(const std::string& folder, uint64_t& free_to_caller, uint64_t& total) {
    ULARGE_INTEGER available;
    ULARGE_INTEGER bytes;
    if (!GetDiskFreeSpaceExA(folder.c_str(), &available, &bytes, nullptr)) return false;
    free_to_caller = available.QuadPart;
    total = bytes.QuadPart;
    return true;
}
