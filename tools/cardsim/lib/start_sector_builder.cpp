#include "cardsim/lib/start_sector_builder.h"

#include <algorithm>

#include "format/sector_types.h"
#include "format/start_sector.h"

namespace cardsim {
namespace {

constexpr uint8_t kNewRecording = 1;
constexpr uint8_t kResumedRecording = 2;
constexpr uint16_t kPacingThreshold = 0x0040;
constexpr uint8_t kFormatTopBit = 0x80;
constexpr uint8_t kMaxLengthHours = 254;

int64_t total_seconds(const RecordingSpec& description) {
    int64_t total = 0;
    for (size_t i = 0; i < description.segments.size(); ++i) {
        total += description.segments[i].seconds;
        if (i + 1 < description.segments.size()) total += description.segments[i].pause_after;
    }
    return total;
}

}  // namespace

uint8_t first_start_sector_type(int format) {
    return format == 1 || format == 2 ? 0x81 : 0x82;
}

void build_start_sector(const RecordingSpec& description, uint8_t type, const CivilTime& time,
                        bool first, SectorBytes& sector) {
    const int64_t total = total_seconds(description);
    StartSector s;
    s.sector_format_num = type;
    s.recording_num = description.recording_num;
    s.recording_start_type = first ? kNewRecording : kResumedRecording;
    s.recording_start_time = time_bytes(time);
    // The expected length as hours, minutes and seconds of what the recorder was set up for.
    s.recording_exp_length = {static_cast<uint8_t>(std::min<int64_t>(total / 3600, 255)),
                              static_cast<uint8_t>(total / 60 % 60),
                              static_cast<uint8_t>(total % 60)};
    s.recording_format =
        static_cast<uint8_t>(description.format | (description.format_top_bit ? kFormatTopBit : 0));
    if (first && description.start_damage == StartDamage::format) s.recording_format = 0;
    s.recorder_sw_ver = description.sw_version;
    std::copy_n(description.serial.begin(),
                std::min(description.serial.size(), s.recorder_serial_no.size()),
                s.recorder_serial_no.begin());
    s.pacing_threshold = kPacingThreshold;
    s.recording_length =
        is_event_table_format(static_cast<uint8_t>(description.format))
            ? kNoRecordingLength
            : static_cast<uint8_t>(std::min<int64_t>((total + 3599) / 3600, kMaxLengthHours));
    sector.fill(0);
    encode_start_sector(s, sector);
}

}  // namespace cardsim
