#include "extract/recording_summary.h"

#include <algorithm>
#include <cstdlib>

#include "card/ccf_disk.h"
#include "card/char_set.h"
#include "card/counter_rules.h"
#include "format/start_sector.h"
#include "format/start_sector_reader.h"

namespace {

constexpr int64_t kSecondsPerHour = 3600;

// Read once: the analysis application sets it for the whole run.
std::optional<int32_t> length_limit() {
    static const std::optional<int32_t> limit = []() -> std::optional<int32_t> {
        const char* value = std::getenv("KADO_RECLEN_LIMIT");
        if (value == nullptr) return std::nullopt;
        return std::atoi(value);
    }();
    return limit;
}

// Hebrew texts are stored in visual order; the transform restores the logical order.
std::string display_text(const ConfigRecord& record, std::span<const uint8_t> field) {
    const std::string text = field_text(field);
    return record.char_set == kCharSetHebrew ? reverse_rtl_runs(text) : text;
}

}  // namespace

int32_t limit_recording_length(int32_t hours, std::optional<int32_t> limit) {
    if (!limit || hours < 1) return hours;
    return std::min(hours, *limit);
}

bool recording_summary(CCFDisk& disk, bool patient_only, RecordingDetails& details) {
    if (!disk.read_config()) return false;
    Sector sector;
    if (!read_first_start_sector(disk.m_crc_table, disk.m_card_path, sector).found) return false;
    const StartSector start = decode_start_sector(sector);
    const ConfigRecord& record = disk.m_config_dat;

    details = RecordingDetails{};
    if (patient_data_belongs(record, start.recording_num)) {
        details.patient_name = display_text(record, record.patient_name);
        details.patient_id = display_text(record, record.patient_id);
    }
    details.date_text_1 = time_display_text(time_from_sector_bytes(record.init_time));
    if (record.change_marker == kPatientChangeMarker)
        details.date_text_2 = time_display_text(time_from_sector_bytes(record.change_time));
    const uint8_t format = recording_format_of(start.recording_format);
    details.recording_format = channels_of_format(format);
    details.recorder_text = recorder_serial_text(start);
    if (patient_only) return true;

    const RecordingTime start_time = time_from_sector_bytes(start.recording_start_time);
    int32_t hours = -1;
    if (is_event_table_format(format))
        hours = disk.recording_hours(start_time);
    else if (start.recording_length != kNoRecordingLength)
        hours = start.recording_length;
    details.recording_length = limit_recording_length(hours, length_limit());

    const ReadSettings& settings = disk.m_read_settings;
    details.recording_start = seconds_display_text(time_to_seconds(start_time) -
                                                   settings.preamble_seconds(start_time.second) +
                                                   settings.skip_hours * kSecondsPerHour);
    return true;
}
