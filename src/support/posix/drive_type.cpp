// Drive kinds on Linux, from the mount that serves the drive's root. A drive of the drive map is
// classified from its link as written before anything asks about its target: a hard NFS mount
// whose server has gone hangs stat and realpath alike, and the card search must never stall.
#include <sys/stat.h>

#include <fstream>
#include <initializer_list>
#include <optional>
#include <string>

#include "support/drives.h"
#include "support/file_utils.h"
#include "support/posix/drive_map.h"
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
    const bool is_drive = root.size() >= 2 && root[1] == ':';
    if (is_drive) {
        if (!drive_link_target(root[0])) return DriveType::no_root;
        if (drive_on_network_mount(root[0])) return DriveType::remote;
    }
    const std::string native = native_path(root);
    struct stat st;
    if (stat(native.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return DriveType::no_root;
    const std::optional<MountEntry> mount = mount_serving(native);
    // A folder in memory (tmpfs) or anywhere else is a fixed drive, as Wine reports folder drives.
    if (!mount) return DriveType::fixed;
    const std::string& fs = mount->file_system;
    if (is_network_file_system(fs)) return DriveType::remote;
    if (is_one_of(fs, {"iso9660", "udf"})) return DriveType::cdrom;
    if (mount->source.rfind("/dev/", 0) == 0 && is_removable_device(mount->source))
        return DriveType::removable;
    return DriveType::fixed;
}

void suppress_drive_error_dialogs() {}
