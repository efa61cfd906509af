// The kernel's mount table as the Linux backend needs it: which mount serves a folder, and from
// which device or file system. Used for volume labels and drive types. The table is
// /proc/self/mountinfo, or the file that KADO_MOUNT_TABLE names (in mountinfo or in
// /proc/self/mounts format), so that tests can stand in mounts that a test machine cannot make.
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

// The same for an absolute path taken as written, without asking the file system anything about
// it: the way to classify a path that may lie on a mount whose server does not answer.
std::optional<MountEntry> mount_serving_lexically(const std::string& absolute_path);

// File systems whose every access may wait for a server: nfs, cifs, autofs, the network fuse
// file systems and their kin.
bool is_network_file_system(const std::string& file_system);

// The folder's path with every link resolved, or nothing when it does not exist.
std::optional<std::string> real_folder(const std::string& native_folder);

// The path with "." and ".." components and repeated slashes removed, without following links.
std::string lexically_normal(const std::string& absolute_path);
