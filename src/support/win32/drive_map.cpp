#include <windows.h>

#include <cstdint>
#include <string>

#include "support/drives.h"
#include "support/file_utils.h"

// Windows drive texts are real drives: paths go to the system as they are.
std::string native_path(const std::string& path) {
    return path;
}

uint32_t logical_drives() {
    return GetLogicalDrives();
}
