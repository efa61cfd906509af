// Existence and attributes on Windows.
#include <windows.h>

#include <cstdint>
#include <string>

#include "support/file_backend.h"
#include "support/file_utils.h"

namespace {

bool attributes_of(const std::string& path, DWORD& attributes) {
    attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool file_exists(const std::string& path) {
    DWORD attributes;
    return attributes_of(path, attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool folder_exists(const std::string& path) {
    DWORD attributes;
    return is_bare_drive(path) ||
           (attributes_of(path, attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
}

int32_t file_size(const std::string& path) {
    // No access and no sharing: the size of a file that nobody else has open.
    const HANDLE file =
        CreateFileA(path.c_str(), 0, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    const DWORD low = GetFileSize(file, nullptr);
    CloseHandle(file);
    return static_cast<int32_t>(low);
}

bool touch_file(const std::string& path) {
    // Windows refuses write access to a read-only file, but Wine run by root does not.
    if (is_read_only(path)) return false;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const bool set = SetFileTime(file, &now, &now, &now) != 0;
    CloseHandle(file);
    return set;
}

void set_read_only(const std::string& path) {
    DWORD attributes;
    if (attributes_of(path, attributes) && (attributes & FILE_ATTRIBUTE_READONLY) == 0)
        SetFileAttributesA(path.c_str(), attributes | FILE_ATTRIBUTE_READONLY);
}

void clear_read_only(const std::string& path) {
    if (is_read_only(path)) set_normal_attributes(path);
}

bool is_read_only(const std::string& path) {
    DWORD attributes;
    return attributes_of(path, attributes) && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

void set_normal_attributes(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}
