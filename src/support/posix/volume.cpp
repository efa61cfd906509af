// Volume labels and space on Linux. A drive whose root is the mount point of a device has that
// device's file-system label: read by libblkid when the program may read the device, else the
// name of the /dev/disk/by-label link that udev made for it (KADO_LABEL_LINKS names another
// folder of such links, for tests). Any other drive root keeps its label in a ".windows-label"
// file, the place Wine reads and writes for such drives. Setting a label writes where reading
// takes it from; a mounted device's label is not rewritten (see set_volume_label).
#include <blkid/blkid.h>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "support/drives.h"
#include "support/file_backend.h"
#include "support/file_utils.h"
#include "support/posix/mount_table.h"

namespace {

constexpr const char* kLabelFileName = ".windows-label";
constexpr size_t kMaxLabelFileBytes = 256;

// The device mounted exactly at the root: a path that names it, such as "/dev/sdb1".
std::optional<std::string> mounted_device(const std::string& real_root) {
    const std::optional<MountEntry> mount = mount_serving(real_root);
    if (!mount || mount->mount_point != real_root || mount->source.empty() ||
        mount->source[0] != '/')
        return std::nullopt;
    return mount->source;
}

bool is_readable_block_device(const std::string& device) {
    struct stat st;
    return stat(device.c_str(), &st) == 0 && S_ISBLK(st.st_mode) &&
           access(device.c_str(), R_OK) == 0;
}

std::string label_links_folder() {
    const char* folder = std::getenv("KADO_LABEL_LINKS");
    return folder != nullptr && *folder != '\0' ? folder : "/dev/disk/by-label";
}

// udev writes every byte outside a safe set of the label as \xHH in the link's name.
std::string unescape_udev(const std::string& name) {
    const auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string text;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && hex(name[i + 2]) >= 0 &&
            hex(name[i + 3]) >= 0) {
            text += static_cast<char>(hex(name[i + 2]) * 16 + hex(name[i + 3]));
            i += 3;
        } else {
            text += name[i];
        }
    }
    return text;
}

// The label whose by-label link resolves to the device; nothing when no link does.
std::optional<std::string> linked_label(const std::string& device) {
    const std::optional<std::string> real_device = real_folder(device);
    if (!real_device) return std::nullopt;
    const std::string folder = label_links_folder();
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return std::nullopt;
    std::optional<std::string> label;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (real_folder(folder + '/' + name) == real_device) {
            label = unescape_udev(name);
            break;
        }
    }
    closedir(dir);
    return label;
}

// Whether the root's label is the file system's own, which this program does not rewrite.
bool label_lives_on_device(const std::string& real_root) {
    const std::optional<std::string> device = mounted_device(real_root);
    return device && (is_readable_block_device(*device) || linked_label(*device));
}

std::optional<std::string> device_label(const std::string& device) {
    blkid_probe probe = blkid_new_probe_from_filename(device.c_str());
    if (probe == nullptr) return std::nullopt;
    blkid_probe_enable_superblocks(probe, 1);
    blkid_probe_set_superblocks_flags(probe, BLKID_SUBLKS_LABEL);
    std::optional<std::string> label;
    if (blkid_do_safeprobe(probe) == 0) {
        const char* value = nullptr;
        size_t length = 0;
        // A file system without a label has no LABEL value: an unlabelled volume.
        label = blkid_probe_lookup_value(probe, "LABEL", &value, &length) == 0 && value != nullptr
                    ? std::string(value)
                    : std::string();
    }
    blkid_free_probe(probe);
    return label;
}

std::string file_label(const std::string& real_root) {
    std::ifstream in(real_root + '/' + kLabelFileName, std::ios::binary);
    std::string text;
    char c;
    while (text.size() < kMaxLabelFileBytes && in.get(c) && c != '\n' && c != '\r')
        text += c;
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    return text;
}

std::optional<std::string> real_root_of(const std::string& root) {
    const std::string native = native_path(root);
    struct stat st;
    if (stat(native.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
    return real_folder(native);
}

}  // namespace

std::string volume_label(char letter) {
    const std::optional<std::string> root = real_root_of(drive_root(letter));
    if (!root) return "?";
    if (const std::optional<std::string> device = mounted_device(*root)) {
        if (is_readable_block_device(*device))
            if (std::optional<std::string> label = device_label(*device)) return *label;
        if (std::optional<std::string> label = linked_label(*device)) return *label;
    }
    return file_label(*root);
}

bool can_set_volume_label(const std::string& root) {
    const std::optional<std::string> real_root = real_root_of(root);
    if (!real_root || label_lives_on_device(*real_root)) return false;
    // Permission bits rather than access(), which says yes to everything when run as root.
    const auto writable = [](const std::string& path) {
        struct stat st;
        return stat(path.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    };
    const std::string label_file = *real_root + '/' + kLabelFileName;
    struct stat st;
    return lstat(label_file.c_str(), &st) == 0 ? writable(label_file) : writable(*real_root);
}

bool set_volume_label(const std::string& root, const std::string& label) {
    const std::optional<std::string> real_root = real_root_of(root);
    if (!real_root) return false;
    // The kernel caches a mounted file system's directory and boot sector, so writing the label
    // into the device underneath it could be lost or corrupt the volume; report the failure.
    if (label_lives_on_device(*real_root)) return false;
    std::ofstream out(*real_root + '/' + kLabelFileName, std::ios::binary | std::ios::trunc);
    out << label;
    out.close();
    return static_cast<bool>(out);
}

std::string volume_label_commands(const std::string& root, const std::string& label) {
    const std::optional<std::string> real_root = real_root_of(root);
    if (!real_root) return {};
    const std::optional<MountEntry> mount = mount_serving(*real_root);
    if (!mount || mount->mount_point != *real_root || mount->source.rfind("/dev/", 0) != 0)
        return {};
    return "umount " + mount->mount_point + "\n" + "fatlabel " + mount->source + " " + label +
           "\n" + "mount " + mount->source + " " + mount->mount_point + "\n";
}

bool disk_space(const std::string& folder, uint64_t& free_to_caller, uint64_t& total) {
    struct statvfs vfs;
    if (statvfs(native_path(folder).c_str(), &vfs) != 0) return false;
    free_to_caller = static_cast<uint64_t>(vfs.f_bavail) * vfs.f_frsize;
    total = static_cast<uint64_t>(vfs.f_blocks) * vfs.f_frsize;
    return true;
}
