// What a card folder holds and whether its recording has been read: the status check of a folder
// copy, the ECG validity check, marking a recording as read, and the recording length that the
// event table gives. The main flow, the Read dialog and the extraction call these.
#include <cstdint>

#include "card/ccf_disk.h"
#include "card/counter_rules.h"
#include "card/file_set.h"
#include "format/card_files.h"
#include "format/event_table.h"
#include "format/start_sector.h"
#include "format/start_sector_reader.h"
#include "support/exit_codes.h"
#include "support/file_finder.h"
#include "support/messages.h"
#include "support/string_ids.h"
#include "support/trace.h"

namespace {

constexpr int kMarkedRead = 0;
constexpr int kMarkReadOnly = 1;
constexpr int kMarkFailed = 2;

constexpr int kSecondsPerHour = 3600;

// Folders of the loaders hold a .LDSC source; such a folder is not a card copy, even with an
// ecg.dat beside it.
bool holds_any_loader_source(const std::string& folder) {
    const FileFinder finder(join_path(folder, "*.LDSC"), kFindFiles);
    return !finder.done();
}

bool folder_file_set_complete(const std::string& folder, RunMode mode) {
    const int32_t cnav = file_size(card_file_path(folder, "cnav.dat"));
    return file_size(card_file_path(folder, kConfigFileName)) == kConfigFileSize &&
           (cnav == kCnavFileSize ||
            (cnav == kShortCnavFileSize && accepts_short_cnav(mode, false))) &&
           !holds_any_loader_source(folder) &&
           file_size(card_file_path(folder, "patient.wav")) == kWavFileSize &&
           file_exists(card_file_path(folder, kEcgFileName));
}

}  // namespace

int CCFDisk::folder_status() {
    if (!folder_file_set_complete(m_card_path, m_run_mode)) return kExitNotCompleted;
    Sector sector;
    if (!read_first_start_sector(m_crc_table, m_card_path, sector).found)
        return kExitEcgOutputFailed;
    const uint16_t s = sector_recording_num(sector);
    read_config();
    if (is_inconsistent_recording(m_config_dat, s)) return kExitNoValidEcg;
    if (is_unread_recording(m_config_dat, s)) return kExitUnread;
    return kExitSuccess;
}

int CCFDisk::get_ecg_is_valid() {
    read_config();
    trace("\nget_ecg_is_valid\n");
    Sector sector;
    if (!read_first_start_sector(m_crc_table, m_card_path, sector).found)
        return kExitEcgOutputFailed;
    const StartSector start = decode_start_sector(sector);
    const uint8_t format = recording_format_of(start.recording_format);
    trace("m_config_dat.recording_num : %i\n", m_config_dat.recording_num);
    trace("m_config_dat.patient_data_num : %i\n", m_config_dat.patient_data_num);
    trace("m_config_dat.wav_recording_num : %i\n", m_config_dat.wav_recording_num);
    trace("ecg_recording_num : %i\n", start.recording_num);
    trace("recording_format : %i\n", format);
    if (!is_valid_ecg(m_config_dat, start.recording_num)) return kExitNoValidEcg;
    const int code = channel_exit_code(channels_of_format(format));
    m_is_twelve_lead = code == kExitTwelveLeads;
    return code;
}

// A card whose start sector reached the re-conditioning number is conditioned afresh when
// allowed, so that its counters never wrap. A folder copy never is: conditioning would empty the
// user's folder and fill the host's disk with an ecg.dat.
int CCFDisk::mark_as_read(bool allow_recondition) {
    read_config();
    Sector sector;
    const StartSectorSearch search = read_first_start_sector(m_crc_table, m_card_path, sector);
    if (!search.found) return kMarkFailed;
    const uint16_t s = sector_recording_num(sector);
    if (needs_recondition(s)) {
        if (!allow_recondition || is_folder_copy_path(m_card_path)) return kMarkFailed;
        if (!condition_card("", "", false, FirElements{}, "", true)) return kMarkFailed;
        trace("CCFDisk::mark_as_read card re-conditioned\n");
        return kMarkedRead;
    }
    if (!search.checksum_good) return kMarkFailed;
    if (!count_marked_read(m_config_dat, s)) return kMarkedRead;
    const std::string config_path = card_file_path(m_card_path, kConfigFileName);
    if (!file_exists(config_path) || is_read_only(config_path)) return kMarkReadOnly;
    return write_config() ? kMarkedRead : kMarkFailed;
}

void CCFDisk::mark_as_read_and_report(bool allow_recondition) {
    const int result = mark_as_read(allow_recondition);
    if (result == kMarkedRead) return;
    show_read_message(result == kMarkReadOnly ? kStringCannotMarkReadOnly : kStringMarkFailed,
                      MessageButtons::kOk, MessageIcon::kExclamation);
}

int CCFDisk::recording_hours(const RecordingTime& recording_start_time) {
    const CardFile file = open_card_file_for_reading(m_card_path, kEcgFileName);
    if (!file) return -1;
    // The seek points of the 12-lead event sectors do not count towards the length.
    const EventTable table = load_event_table(file.get(), false);
    bool found = false;
    int64_t latest = 0;
    for (const EventRecord& record : table) {
        if (record.type != 2 && record.type != 4) continue;
        const RecordingTime time = record.time();
        if (!time_is_valid(time)) continue;
        const int64_t seconds = time_to_seconds(time);
        if (!found || seconds > latest) latest = seconds;
        found = true;
    }
    if (!found) return -1;
    const int64_t length = latest - time_to_seconds(recording_start_time);
    return static_cast<int>((length + kSecondsPerHour - 1) / kSecondsPerHour + 1);
}
