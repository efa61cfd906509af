// The status check of a card in a drive, and the recovery of a start sector whose checksum is
// bad. The main flow, the Initialise dialog and initialise_card ask the status before they read
// or prepare a card.
#include <cstdint>
#include <limits>
#include <optional>

#include "card/ccf_disk.h"
#include "card/counter_rules.h"
#include "card/file_set.h"
#include "format/card_files.h"
#include "format/sector_checksum.h"
#include "format/start_sector.h"
#include "format/start_sector_reader.h"
#include "support/card_stream.h"
#include "support/drives.h"
#include "support/exit_codes.h"
#include "support/file_finder.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/string_ids.h"
#include "support/system_info.h"

namespace {

// Preallocation takes the free space capped at 2^31 - 1 bytes, in whole sectors; an ecg.dat of
// that size may leave free space behind on a larger card.
constexpr uint64_t kEcgCapBytes =
    std::numeric_limits<int32_t>::max() / kSectorSize * uint64_t{kSectorSize};

constexpr const char* kValidRootNames[] = {
    "patient.wav",           "ecg.dat", "config.dat", "cnav.dat", "BOOTEX.LOG", "BOOTLOG.TXT",
    kSystemVolumeInformation};

std::optional<char> drive_letter_of(const std::string& card_path) {
    if (card_path.size() < 2 || card_path[1] != ':') return std::nullopt;
    const char c = card_path[0];
    if ((c < 'A' || c > 'Z') && (c < 'a' || c > 'z')) return std::nullopt;
    return c;
}

// A link is never part of a card: reads would follow it off the card.
bool is_valid_root_entry(const FileFinder& entry) {
    if ((entry.attributes() & kAttributeReparsePoint) != 0) return false;
    if (!entry.is_folder() && entry.size() == 0) return true;
    for (const char* name : kValidRootNames)
        if (equal_ignoring_case(entry.name(), name)) return true;
    return false;
}

bool all_root_entries_valid(const std::string& root) {
    FileFinder finder(join_path(root, "*.*"), kFindAll);
    if (finder.failed()) return false;
    for (; !finder.done(); finder.next())
        if (!is_valid_root_entry(finder)) return false;
    return true;
}

bool root_holds_folder_or_read_only_file(const std::string& root) {
    for (FileFinder finder(join_path(root, "*.*"), kFindAll); !finder.done(); finder.next())
        if (finder.is_folder() || (finder.attributes() & kAttributeReadOnly) != 0) return true;
    return false;
}

bool holds_complete_file_set(const std::string& root) {
    for (const char* name : {"CONFIG.DAT", "CNAV.DAT", "PATIENT.WAV", "ECG.DAT"})
        if (!file_exists(join_path(root, name))) return false;
    return true;
}

bool file_sizes_valid(const std::string& root, RunMode mode) {
    const int32_t cnav = file_size(join_path(root, "cnav.dat"));
    return file_size(join_path(root, kConfigFileName)) == kConfigFileSize &&
           (cnav == kCnavFileSize ||
            (cnav == kShortCnavFileSize && accepts_short_cnav(mode, true))) &&
           file_size(join_path(root, "patient.wav")) == kWavFileSize &&
           file_exists(join_path(root, kEcgFileName));
}

bool ecg_reached_cap(const std::string& root) {
    const FileFinder ecg(join_path(root, kEcgFileName), kFindFiles);
    return !ecg.done() && ecg.size() >= kEcgCapBytes;
}

// Asks to delete everything from the root; 0 when the root is clean afterwards.
int clean_root(const std::string& drive) {
    if (show_string(kStringInvalidRootEntries, MessageButtons::kYesNo) != MessageAnswer::kYes)
        return kExitCleaningDeclined;
    if (!delete_tree(drive, true, true) || root_holds_folder_or_read_only_file(drive)) {
        show_string(kStringCleaningFailed, MessageButtons::kOk, MessageIcon::kInformation);
        return kExitNotCompleted;
    }
    show_string(kStringCardCleaned, MessageButtons::kOk, MessageIcon::kInformation);
    return kExitSuccess;
}

// The first sector of type 1, 2, 4 or 5 in ecg.dat, checked; nothing when there is none or its
// checksum is bad.
std::optional<uint8_t> first_data_sector_type(const Crc16Table& table,
                                              const std::string& card_path) {
    const CardFile file = open_card_file_for_reading(card_path, kEcgFileName);
    if (!file) return std::nullopt;
    Sector sector;
    while (std::fread(sector.data(), 1, sector.size(), file.get()) == sector.size()) {
        const uint8_t type = sector_type_byte(sector);
        if (type != 1 && type != 2 && type != 4 && type != 5) continue;
        if (!check_sector(table, sector, sector_type_of(type).checksum)) return std::nullopt;
        return type;
    }
    return std::nullopt;
}

}  // namespace

int CCFDisk::card_status(bool interactive_clean, bool label_required) {
    const std::optional<char> letter = drive_letter_of(m_card_path);
    if (!letter) return kExitNoCard;
    const std::string root = drive_root(*letter);
    const std::string drive{*letter, ':'};
    if (!folder_exists(root) || FileFinder(join_path(root, "*.*"), kFindAll).failed())
        return kExitNoCard;

    if (volume_label(*letter) != kCardLabel && (label_required || !holds_complete_file_set(root)))
        return kExitNoCard;

    if (interactive_clean) {
        const std::string system_folder = join_path(root, kSystemVolumeInformation);
        if (folder_exists(system_folder)) delete_tree(system_folder, true, true);
        if (root_holds_folder_or_read_only_file(root)) {
            if (const int cleaned = clean_root(drive); cleaned != kExitSuccess) return cleaned;
        }
    }

    // Preallocation leaves a conditioned card without free space, unless the card is larger
    // than the largest ecg.dat.
    if (prepares_card(m_run_mode) && free_space(root) > 0 && !ecg_reached_cap(root))
        return kExitNotCompleted;
    if (!all_root_entries_valid(root)) return kExitNotCompleted;
    if (!file_sizes_valid(root, m_run_mode)) return kExitNotCompleted;

    Sector sector;
    const StartSectorSearch search = read_first_start_sector(m_crc_table, m_card_path, sector);
    if ((!search.found || !search.checksum_good) && !recover_start_sector())
        return kExitEcgOutputFailed;
    if (!read_first_start_sector(m_crc_table, m_card_path, sector).found)
        return kExitEcgOutputFailed;
    const uint16_t s = sector_recording_num(sector);

    read_config();
    if (is_unread_recording(m_config_dat, s)) return kExitUnread;
    if (is_inconsistent_recording(m_config_dat, s)) return kExitNotCompleted;
    if (!is_valid_ecg(m_config_dat, s)) return kExitNoValidEcg;
    return kExitSuccess;
}

bool CCFDisk::recover_start_sector() {
    Sector damaged;
    const StartSectorSearch search = read_first_start_sector(m_crc_table, m_card_path, damaged);
    if (!search.found) return false;
    if (search.checksum_good) return true;
    const std::optional<uint8_t> data_type = first_data_sector_type(m_crc_table, m_card_path);
    if (!data_type) return false;
    if (show_read_message(kStringTryRecovery, MessageButtons::kYesNo, MessageIcon::kExclamation) !=
        MessageAnswer::kYes)
        return false;

    // The type byte and recording number lie before the scrambled body and survive damage to
    // it; the time becomes 00:00:00 on 1 January 2000 and the format that of the data.
    Sector rebuilt{};
    StartSector fields;
    fields.sector_format_num = sector_type_byte(damaged);
    fields.recording_num = sector_recording_num(damaged);
    fields.recording_start_time = {0, 0, 0, 1, 1, 0};
    fields.recording_format = *data_type;
    fields.recording_length = kNoRecordingLength;
    encode_start_sector(fields, rebuilt);
    seal_sector(m_crc_table, rebuilt, sector_type_of(fields.sector_format_num).checksum);

    CardStream file;
    bool recovered = false;
    if (file.open_existing(card_file_path(m_card_path, kEcgFileName))) {
        recovered = file.write(rebuilt) == StreamWrite::written && file.flush();
        recovered = file.close() && recovered;
        sleep_milliseconds(m_recovery_pause_ms);
    }
    settle_pause();
    if (!recovered)
        show_read_message(kStringRecoveryFailed, MessageButtons::kOk, MessageIcon::kStop);
    return recovered;
}
