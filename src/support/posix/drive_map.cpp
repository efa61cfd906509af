// Drive texts on Linux. "E:" names the folder that the link "e:" in the drive map folder points
// at; the links play the part of Wine's dosdevices, so a test or a user maps a card by linking its
// mount point. Names are also looked up without regard to letter case when the exact name is
// missing, so that "CONFIG.DAT" finds "config.dat" as it would on the card's own file system.
#include "support/posix/drive_map.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/drives.h"
#include "support/file_utils.h"
#include "support/posix/config_folder.h"
#include "support/posix/mount_table.h"

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string drive_map_folder() {
    if (std::string folder = environment("KADO_DRIVES"); !folder.empty()) return folder;
    return kado_config_folder() + "/drives";
}

char lower_ascii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool is_ascii_letter(char c) {
    return lower_ascii(c) >= 'a' && lower_ascii(c) <= 'z';
}

bool equal_ignoring_case(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i)
        if (lower_ascii(a[i]) != lower_ascii(b[i])) return false;
    return i == a.size() && b[i] == '\0';
}

bool entry_exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// The name of the entry of `folder` (empty: the current folder) that equals `name` but for
// letter case; empty when there is none.
std::string entry_with_other_case(const std::string& folder, const std::string& name) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return {};
    std::string match;
    while (const dirent* entry = readdir(dir)) {
        if (equal_ignoring_case(name, entry->d_name)) {
            match = entry->d_name;
            break;
        }
    }
    closedir(dir);
    return match;
}

std::string resolve_letter_case(const std::string& path) {
    if (path.empty() || entry_exists(path)) return path;
    std::string resolved;
    size_t pos = 0;
    while (pos < path.size()) {
        size_t end = path.find('/', pos);
        if (end == std::string::npos) end = path.size();
        const std::string name = path.substr(pos, end - pos);
        if (!name.empty() && name != "." && name != ".." && !entry_exists(resolved + name)) {
            const std::string match = entry_with_other_case(resolved, name);
            // Nothing of that name: the rest is new, and keeps the caller's spelling.
            if (match.empty()) return resolved + path.substr(pos);
            resolved += match;
        } else {
            resolved += name;
        }
        if (end < path.size()) resolved += '/';
        pos = end + 1;
    }
    return resolved;
}

}  // namespace

std::string drive_link(char letter) {
    return drive_map_folder() + '/' + lower_ascii(letter) + ':';
}

std::optional<std::string> drive_link_target(char letter) {
    const std::string link = drive_link(letter);
    struct stat st;
    if (lstat(link.c_str(), &st) != 0) return std::nullopt;
    std::string folder = drive_map_folder();
    if (folder.empty() || folder[0] != '/') {
        std::vector<char> cwd(4096);
        if (getcwd(cwd.data(), cwd.size()) == nullptr) return std::nullopt;
        folder = std::string(cwd.data()) + '/' + folder;
    }
    if (!S_ISLNK(st.st_mode)) return lexically_normal(folder + '/' + lower_ascii(letter) + ':');
    std::vector<char> target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4095) + 1);
    const ssize_t length = readlink(link.c_str(), target.data(), target.size());
    if (length < 0 || static_cast<size_t>(length) >= target.size()) return std::nullopt;
    const std::string text(target.data(), static_cast<size_t>(length));
    return lexically_normal(text[0] == '/' ? text : folder + '/' + text);
}

bool drive_on_network_mount(char letter) {
    const std::optional<std::string> target = drive_link_target(letter);
    if (!target) return false;
    const std::optional<MountEntry> mount = mount_serving_lexically(*target);
    return mount && is_network_file_system(mount->file_system);
}

std::string native_path(const std::string& path) {
    if (path.size() < 2 || path[1] != ':' || !is_ascii_letter(path[0]))
        return resolve_letter_case(path);
    std::string mapped = drive_link(path[0]);
    const std::string rest = path.substr(2);
    if (!rest.empty() && rest[0] != '/') mapped += '/';
    return resolve_letter_case(mapped + rest);
}

uint32_t logical_drives() {
    uint32_t drives = 0;
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        // A network drive exists as far as its link goes; asking its server could stall.
        struct stat st;
        if (drive_on_network_mount(letter) ||
            (stat(drive_link(letter).c_str(), &st) == 0 && S_ISDIR(st.st_mode)))
            drives |= 1u << (letter - 'a');
    }
    return drives;
}
