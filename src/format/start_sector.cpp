#include "format/start_sector.h"

#include <algorithm>

#include "support/byte_order.h"

namespace {

constexpr size_t kStartTypeOffset = 5;
constexpr size_t kExpLengthOffset = 12;
constexpr size_t kSwVerOffset = 16;
constexpr size_t kSerialOffset = 18;
constexpr size_t kFlagsOffset = 26;
constexpr size_t kPacingThresholdOffset = 27;

}  // namespace

bool is_start_sector_type(uint8_t type_byte) {
    return sector_type_of(type_byte).kind == SectorKind::start;
}

StartSector decode_start_sector(std::span<const uint8_t, kSectorSize> sector) {
    const uint8_t* p = sector.data();
    StartSector s;
    s.sector_format_num = p[kSectorTypeOffset];
    s.recording_num = get_u16le(p + kSectorRecordingNumOffset);
    s.sector_crc = get_u16le(p + kSectorCrcOffset);
    s.recording_start_type = p[kStartTypeOffset];
    get_field(sector, kStartSectorTimeOffset, s.recording_start_time);
    get_field(sector, kExpLengthOffset, s.recording_exp_length);
    s.recording_format = p[kStartSectorFormatOffset];
    s.recorder_sw_ver = get_u16le(p + kSwVerOffset);
    get_field(sector, kSerialOffset, s.recorder_serial_no);
    s.recording_flags = p[kFlagsOffset];
    s.pacing_threshold = get_u16le(p + kPacingThresholdOffset);
    s.recording_length = p[kStartSectorLengthOffset];
    return s;
}

void encode_start_sector(const StartSector& s, std::span<uint8_t, kSectorSize> sector) {
    uint8_t* p = sector.data();
    p[kSectorTypeOffset] = s.sector_format_num;
    put_u16le(p + kSectorRecordingNumOffset, s.recording_num);
    put_u16le(p + kSectorCrcOffset, s.sector_crc);
    p[kStartTypeOffset] = s.recording_start_type;
    put_field(s.recording_start_time, sector, kStartSectorTimeOffset);
    put_field(s.recording_exp_length, sector, kExpLengthOffset);
    p[kStartSectorFormatOffset] = s.recording_format;
    put_u16le(p + kSwVerOffset, s.recorder_sw_ver);
    put_field(s.recorder_serial_no, sector, kSerialOffset);
    p[kFlagsOffset] = s.recording_flags;
    put_u16le(p + kPacingThresholdOffset, s.pacing_threshold);
    p[kStartSectorLengthOffset] = s.recording_length;
}

std::string recorder_serial_text(const StartSector& s) {
    const auto& serial = s.recorder_serial_no;
    return std::string(serial.begin(), std::find(serial.begin(), serial.end(), uint8_t{0}));
}
