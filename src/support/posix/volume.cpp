// Volume labels and space on Linux. A drive whose root is the mount point of a readable block
// device has that device's file-system label (libblkid); any other drive root keeps its label in
// a ".windows-label" file, the place Wine reads and writes for such drives. Setting a label writes
// where reading takes it from; a mounted device's label is not rewritten (see set_volume_label).
#include <blkid/blkid.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdint>
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

// The block device mounted exactly at the root, when the program may read it.
std::optional<std::string> labelled_device(const std::string& real_root) {
    const std::optional<MountEntry> mount = mount_serving(real_root);
    if (!mount || mount->mount_point != real_root || mount->source.rfind("/dev/", 0) != 0)
        return std::nullopt;
    struct stat st;
    if (stat(mount->source.c_str(), &st) != 0 || !S_ISBLK(st.st_mode) ||
        access(mount->source.c_str(), R_OK) != 0)
        return std::nullopt;
    return mount->source;
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
    if (const std::optional<std::string> device = labelled_device(*root))
        return device_label(*device).value_or("?");
    return file_label(*root);
}

bool set_volume_label(const std::string& root, const std::string& label) {
    const std::optional<std::string> real_root = real_root_of(root);
    if (!real_root) return false;
    // The kernel caches a mounted file system's directory and boot sector, so writing the label
    // into the device underneath it could be lost or corrupt the volume; report the failure.
    if (labelled_device(*real_root)) return false;
    std::ofstream out(*real_root + '/' + kLabelFileName, std::ios::binary | std::ios::trunc);
    out << label;
    out.close();
    return static_cast<bool>(out);
}

bool can_set_volume_label(const std::string& root) {
    const std::optional<std::string> real_root = real_root_of(root);
    return real_root && !labelled_device(*real_root) && access(real_root->c_str(), W_OK) == 0;
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
