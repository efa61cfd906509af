#include "support/posix/mount_table.h"

#include <limits.h>
#include <stdlib.h>

#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Mount table fields escape blanks, tabs, newlines and backslashes as three octal digits.
std::string unescape(const std::string& field) {
    const auto is_octal = [](char c) { return c >= '0' && c <= '7'; };
    std::string text;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && is_octal(field[i + 1]) &&
            is_octal(field[i + 2]) && is_octal(field[i + 3])) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

bool serves(const std::string& mount_point, const std::string& folder) {
    if (mount_point == "/") return true;
    return folder.compare(0, mount_point.size(), mount_point) == 0 &&
           (folder.size() == mount_point.size() || folder[mount_point.size()] == '/');
}

// One line of /proc/self/mountinfo, "id parent major:minor root mount-point options
// [optional fields...] - fstype source super-options", or of /proc/self/mounts, "source
// mount-point fstype options dump pass".
std::optional<MountEntry> parse_line(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> fields;
    for (std::string field; in >> field;)
        fields.push_back(field);
    size_t dash = 6;
    while (dash < fields.size() && fields[dash] != "-")
        ++dash;
    if (fields.size() >= 5 && dash + 2 < fields.size())
        return MountEntry{unescape(fields[4]), fields[dash + 1], unescape(fields[dash + 2])};
    if (fields.size() >= 3 && fields.size() <= 6)
        return MountEntry{unescape(fields[1]), fields[2], unescape(fields[0])};
    return std::nullopt;
}

std::string mount_table_path() {
    const char* path = std::getenv("KADO_MOUNT_TABLE");
    return path != nullptr && *path != '\0' ? path : "/proc/self/mountinfo";
}

std::optional<MountEntry> mount_serving_path(const std::string& folder) {
    std::ifstream table(mount_table_path());
    std::optional<MountEntry> best;
    for (std::string line; std::getline(table, line);) {
        std::optional<MountEntry> entry = parse_line(line);
        if (entry && serves(entry->mount_point, folder) &&
            (!best || entry->mount_point.size() >= best->mount_point.size()))
            best = std::move(entry);
    }
    return best;
}

}  // namespace

std::optional<std::string> real_folder(const std::string& native_folder) {
    char resolved[PATH_MAX];
    if (realpath(native_folder.c_str(), resolved) == nullptr) return std::nullopt;
    return std::string(resolved);
}

std::optional<MountEntry> mount_serving(const std::string& native_folder) {
    const std::optional<std::string> folder = real_folder(native_folder);
    if (!folder) return std::nullopt;
    return mount_serving_path(*folder);
}

std::optional<MountEntry> mount_serving_lexically(const std::string& absolute_path) {
    return mount_serving_path(lexically_normal(absolute_path));
}

bool is_network_file_system(const std::string& file_system) {
    for (const char* name : {"nfs",
                             "nfs4",
                             "cifs",
                             "smb3",
                             "smbfs",
                             "ncpfs",
                             "9p",
                             "afs",
                             "ceph",
                             "glusterfs",
                             "lustre",
                             "autofs",
                             "davfs",
                             "fuse.sshfs",
                             "fuse.rclone",
                             "fuse.s3fs",
                             "fuse.davfs2",
                             "fuse.glusterfs",
                             "fuse.gvfsd-fuse",
                             "fuse.cephfs"})
        if (file_system == name) return true;
    return false;
}

std::string lexically_normal(const std::string& absolute_path) {
    std::vector<std::string> parts;
    std::istringstream in(absolute_path);
    for (std::string part; std::getline(in, part, '/');) {
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else {
            parts.push_back(part);
        }
    }
    std::string path;
    for (const std::string& part : parts)
        path += '/' + part;
    return path.empty() ? "/" : path;
}
