// The kernel's mount table as the Linux backend needs it: which mount serves a folder, and from
// which device or file system. Used for volume labels and drive types.
#pragma once

#include <optional>
#include <string>

struct MountEntry {
    std::string mount_point;
    std::string file_system;  // "vfat", "ext4", "nfs4", ...
    std::string source;       // "/dev/sdb1", or whatever the file system names instead
};

// The mount whose mount point is the longest prefix of the folder's real path (the later mount
// when several share it), or nothing when the folder does not exist.
std::optional<MountEntry> mount_serving(const std::string& native_folder);

// The folder's path with every link resolved, or nothing when it does not exist.
std::optional<std::string> real_folder(const std::string& native_folder);
