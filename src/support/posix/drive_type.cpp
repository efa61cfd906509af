// Drive kinds on Linux, from the mount that serves the drive's root.
#include <sys/stat.h>

#include <fstream>
#include <initializer_list>
#include <optional>
#include <string>

#include "support/drives.h"
#include "support/file_utils.h"
#include "support/posix/mount_table.h"

namespace {

bool is_one_of(const std::string& name, std::initializer_list<const char*> names) {
    for (const char* candidate : names)
        if (name == candidate) return true;
    return false;
}

bool sys_flag_set(const std::string& path) {
    std::ifstream in(path);
    char flag = '0';
    return static_cast<bool>(in >> flag) && flag == '1';
}

// The kernel marks media that can leave the machine (card readers, USB sticks) removable on the
// whole disk, so a partition asks its parent too.
bool is_removable_device(const std::string& device) {
    const std::string name = device.substr(device.rfind('/') + 1);
    const std::string sys = "/sys/class/block/" + name;
    return sys_flag_set(sys + "/removable") || sys_flag_set(sys + "/../removable");
}

}  // namespace

DriveType drive_type(const std::string& root) {
    const std::string native = native_path(root);
    struct stat st;
    if (stat(native.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return DriveType::no_root;
    const std::optional<MountEntry> mount = mount_serving(native);
    if (!mount) return DriveType::unknown;
    const std::string& fs = mount->file_system;
    if (is_one_of(fs, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "afs", "ceph", "fuse.sshfs"}))
        return DriveType::remote;
    if (is_one_of(fs, {"iso9660", "udf"})) return DriveType::cdrom;
    if (is_one_of(fs, {"tmpfs", "ramfs"})) return DriveType::ramdisk;
    if (mount->source.rfind("/dev/", 0) == 0 && is_removable_device(mount->source))
        return DriveType::removable;
    return DriveType::fixed;
}
