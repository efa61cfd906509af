// The card search: which drive holds the recorder's card, and what kind of drive a path names.
#include <memory>
#include <string>

#include "card/ccf_disk.h"
#include "card/default_drive.h"
#include "card/drive_text.h"
#include "support/drives.h"
#include "support/file_finder.h"
#include "support/file_utils.h"
#include "support/foreground_window.h"
#include "support/messages.h"
#include "support/string_ids.h"

namespace {

// Conditioning labels a card "VNT_CFR"; later recorder generations add to it, so only the first
// seven characters count.
constexpr char kCardLabel[] = "VNT_CFR";
constexpr size_t kCardLabelLength = sizeof kCardLabel - 1;
constexpr const char* kCardFileNames[] = {"CONFIG.DAT", "CNAV.DAT", "PATIENT.WAV", "ECG.DAT"};

char upper_ascii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool holds_match(const std::string& root, const char* pattern, uint32_t mask) {
    const FileFinder finder(join_path(root, pattern), mask);
    return !finder.done();
}

// Whether the drive's root is one the search accepts as a card.
bool accepted(const std::string& root, bool accept_all) {
    if (accept_all) return true;
    // A root that cannot be searched holds no entry either: an empty default drive.
    if (!holds_match(root, "*.*", kFindAll)) return true;
    const bool archive =
        holds_match(root, "*.LDSC", kFindFiles) && holds_match(root, "*.LECG", kFindFiles);
    bool card_files = true;
    for (const char* name : kCardFileNames)
        card_files = card_files && file_exists(join_path(root, name));
    return archive != card_files;
}

// One pass over the drive letters: the drive text chosen ("?" for none) and how many drives were
// accepted.
std::string scan_drives(bool accept_all, int& count) {
    const char default_drive = upper_ascii(g_default_drive);
    std::string result = "?";
    count = 0;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const bool is_default = letter == default_drive;
        if (letter <= 'C' && !is_default) continue;
        const std::string root = drive_root(letter);
        // The type first: a drive without media or on a network that does not answer could stall
        // the label query. The default drive is the user's own choice and is always asked.
        const DriveType type = drive_type(root);
        if (!is_default && (type == DriveType::no_root || type == DriveType::remote)) continue;
        if (!is_default && volume_label(letter).compare(0, kCardLabelLength, kCardLabel) != 0)
            continue;
        if (!accepted(root, accept_all)) continue;
        ++count;
        if (is_default || result == "?") result = std::string{letter, ':'};
    }
    return result;
}

bool is_separator(char c) {
    return c == '\\' || c == kPathSeparator;
}

}  // namespace

std::string CCFDisk::find_card(bool no_prompt, bool accept_all) const {
    std::unique_ptr<ForegroundWindowKeeper> foreground;
    for (;;) {
        int count = 0;
        std::string result = scan_drives(accept_all, count);
        if (count > 1 && !no_prompt) {
            if (!foreground) foreground = std::make_unique<ForegroundWindowKeeper>();
            // The user may take surplus cards out and try again as often as needed.
            if (show_string(kStringTwoCardsError, MessageButtons::kOkCancel,
                            MessageIcon::kExclamation) == MessageAnswer::kOk)
                continue;
        }
        if (count > 1) result += kMoreThanOneCard;
        return result;
    }
}

int drive_kind(const std::string& path) {
    if (path.size() < 2) return kDriveKindOther;
    const char letter = upper_ascii(path[0]);
    if (path[1] == ':' && (letter == 'A' || letter == 'B')) return kDriveKindFloppy;
    std::string root;
    if (is_separator(path[0]) && is_separator(path[1])) {
        // The root of a network path ends with the separator after the share name.
        size_t server_end = 2;
        while (server_end < path.size() && !is_separator(path[server_end]))
            ++server_end;
        size_t share_end = server_end + 1;
        while (share_end < path.size() && !is_separator(path[share_end]))
            ++share_end;
        root = share_end < path.size() ? path.substr(0, share_end + 1) : path + kPathSeparator;
    } else if (path[1] == ':') {
        root = drive_root(letter);
    } else {
        return kDriveKindOther;
    }
    switch (drive_type(root)) {
        case DriveType::removable:
            return kDriveKindRemovable;
        case DriveType::fixed:
            return kDriveKindFixed;
        case DriveType::remote:
            return kDriveKindNetwork;
        case DriveType::cdrom:
            return kDriveKindCdrom;
        default:
            return kDriveKindOther;
    }
}
