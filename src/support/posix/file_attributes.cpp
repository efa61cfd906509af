// Existence and attributes on Linux. The read-only attribute is the absence of every write
// permission bit; since root may write regardless, the operations that Windows refuses on a
// read-only file test it themselves.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "support/file_backend.h"
#include "support/file_utils.h"

namespace {

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

bool stat_of(const std::string& path, struct stat& st) {
    return stat(native_path(path).c_str(), &st) == 0;
}

}  // namespace

bool file_exists(const std::string& path) {
    struct stat st;
    return stat_of(path, st) && !S_ISDIR(st.st_mode);
}

bool folder_exists(const std::string& path) {
    struct stat st;
    return is_bare_drive(path) || (stat_of(path, st) && S_ISDIR(st.st_mode));
}

int32_t file_size(const std::string& path) {
    struct stat st;
    if (!stat_of(path, st) || !S_ISREG(st.st_mode)) return -1;
    return static_cast<int32_t>(static_cast<uint32_t>(st.st_size));
}

bool touch_file(const std::string& path) {
    if (is_read_only(path)) return false;
    const int fd = open(native_path(path).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    // Linux keeps no settable creation time; access and modification both become now.
    const bool set = futimens(fd, nullptr) == 0;
    close(fd);
    return set;
}

void set_read_only(const std::string& path) {
    struct stat st;
    if (stat_of(path, st) && (st.st_mode & kWriteBits) != 0)
        chmod(native_path(path).c_str(), st.st_mode & 07777 & ~kWriteBits);
}

void clear_read_only(const std::string& path) {
    if (is_read_only(path)) set_normal_attributes(path);
}

bool is_read_only(const std::string& path) {
    struct stat st;
    return stat_of(path, st) && (st.st_mode & kWriteBits) == 0;
}

void set_normal_attributes(const std::string& path) {
    // A link has no attributes of its own; changing its target could reach outside a tree
    // that is being deleted.
    const std::string native = native_path(path);
    struct stat st;
    if (lstat(native.c_str(), &st) == 0 && !S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0)
        chmod(native.c_str(), (st.st_mode & 07777) | S_IWUSR);
}
