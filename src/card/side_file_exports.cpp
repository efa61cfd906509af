// Exports of the card's side files into an output folder when a card is read: the speech
// recording, the patient data file, the record's event text (cnavop.dat) and the list of patient
// events (event.dat). Each export first removes what an earlier read left in the folder, so that
// a side file which does not belong to this recording is absent rather than stale.
#include <cstdio>
#include <string>

#include "card/ccf_disk.h"
#include "card/counter_rules.h"
#include "format/card_files.h"
#include "format/event_table.h"
#include "format/start_sector.h"
#include "format/start_sector_reader.h"
#include "support/card_file.h"
#include "support/file_utils.h"
#include "support/trace.h"

namespace {

constexpr char kWavName[] = "patient.wav";
constexpr char kCnavName[] = "cnav.dat";
constexpr char kCnavopName[] = "cnavop.dat";
constexpr char kEventListName[] = "event.dat";

// cnavop.dat is the first 80 bytes of the event text field, terminator and all.
constexpr size_t kCnavopSize = 80;

// Removes what an earlier read left in the output folder, except when the output folder is the
// card folder: the file there is then the card's own, and an export never deletes its source.
void remove_old_export(const std::string& card_folder, const std::string& output_folder,
                       const char* name) {
    const std::string target = join_path(output_folder, name);
    if (!same_file(card_file_path(card_folder, name), target)) delete_file(target);
}

// Copies a card file into the folder and dates the copy now, as a freshly read file.
bool copy_from_card(const std::string& card_folder, const std::string& output_folder,
                    const char* name) {
    const std::string source = card_file_path(card_folder, name);
    const std::string target = join_path(output_folder, name);
    // Read into the card folder itself: the card's own file is the export, dated as it is.
    if (same_file(source, target)) return true;
    if (file_exists(source) && copy_file_plain(source, target)) touch_file(target);
    return file_exists(target);
}

// Writes the whole export; one that cannot be written completely is removed, so that a caller
// never finds a partial or an earlier read's export.
bool write_export(const std::string& path, const std::string& text) {
    if (write_card_file(path, {reinterpret_cast<const uint8_t*>(text.data()), text.size()}))
        return true;
    delete_file(path);
    return false;
}

}  // namespace

bool CCFDisk::copy_patient_wav(const std::string& output_folder) {
    remove_old_export(m_card_path, output_folder, kWavName);
    trace("\ncopy_patient_wav\n");
    trace("m_config_dat.wav_recording_num : %i\n", m_config_dat.wav_recording_num);
    trace("m_config_dat.recording_num : %i\n", m_config_dat.recording_num);
    if (!speech_belongs()) return false;
    return copy_from_card(m_card_path, output_folder, kWavName);
}

bool CCFDisk::speech_belongs() {
    Sector sector;
    if (!read_first_start_sector(m_crc_table, m_card_path, sector).found) return false;
    return ::speech_belongs(m_config_dat, sector_recording_num(sector));
}

bool CCFDisk::copy_cnav(const std::string& output_folder) {
    remove_old_export(m_card_path, output_folder, kCnavName);
    Sector sector;
    if (!read_first_start_sector(m_crc_table, m_card_path, sector).found) return false;
    if (!patient_data_belongs(m_config_dat, sector_recording_num(sector))) return false;
    return copy_from_card(m_card_path, output_folder, kCnavName);
}

bool CCFDisk::write_cnavop(const std::string& output_folder) {
    const std::string path = join_path(output_folder, kCnavopName);
    delete_file(path);
    Sector sector;
    if (!read_first_start_sector(m_crc_table, m_card_path, sector).found) return false;
    if (!patient_data_belongs(m_config_dat, sector_recording_num(sector))) return false;
    const std::string bytes(m_config_dat.event_text.begin(),
                            m_config_dat.event_text.begin() + kCnavopSize);
    return write_export(path, bytes);
}

bool CCFDisk::write_event_list(const std::string& output_folder) {
    const std::string path = join_path(output_folder, kEventListName);
    // The analysis applications read this as a Windows text file: CR LF on every platform.
    std::string text = "Version 1\r\n";
    Sector sector;
    if (!read_first_start_sector(m_crc_table, m_card_path, sector).found) {
        delete_file(path);
        return false;
    }
    const StartSector start = decode_start_sector(sector);
    if (is_event_table_format(recording_format_of(start.recording_format))) {
        const RecordingTime start_time = time_from_sector_bytes(start.recording_start_time);
        // Times count from the output's first second, the start of the calibration preamble.
        const int64_t output_start =
            time_to_seconds(start_time) - m_read_settings.preamble_seconds(start_time.second);
        const CardFile table_file = open_card_file_for_reading(m_card_path, kEcgFileName);
        const EventTable table =
            table_file ? load_event_table(table_file.get(), true) : EventTable{};
        char line[32];
        for (const EventRecord& record : table) {
            if (record.type != kEventPatient) continue;
            std::snprintf(line, sizeof line, "%d %d\r\n", 1,
                          static_cast<int>(time_to_seconds(record.time()) - output_start));
            text += line;
        }
    }
    return write_export(path, text);
}
