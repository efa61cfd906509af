// The start sector that opens each recording segment in ecg.dat, field by field as the Initialise
// dialog prints it. Fields are read from a descrambled sector; card recovery and the recorder
// simulator encode fields into a plain sector before sealing it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "format/sector_types.h"
#include "format/time_field.h"

inline constexpr size_t kStartSectorTimeOffset = 6;
inline constexpr size_t kStartSectorFormatOffset = 15;
inline constexpr size_t kStartSectorLengthOffset = 182;

// recording_length when the recorder kept no length.
inline constexpr uint8_t kNoRecordingLength = 255;

struct StartSector {
    uint8_t sector_format_num = 0;
    uint16_t recording_num = 0;
    uint16_t sector_crc = 0;
    uint8_t recording_start_type = 0;
    TimeField recording_start_time{};
    std::array<uint8_t, 3> recording_exp_length{};
    uint8_t recording_format = 0;  // as stored; recording_format_of() gives the format
    uint16_t recorder_sw_ver = 0;
    std::array<uint8_t, 8> recorder_serial_no{};
    uint8_t recording_flags = 0;
    uint16_t pacing_threshold = 0;
    uint8_t recording_length = 0;  // whole hours, kNoRecordingLength for none

    bool operator==(const StartSector&) const = default;
};

bool is_start_sector_type(uint8_t type_byte);

StartSector decode_start_sector(std::span<const uint8_t, kSectorSize> sector);

// Writes the fields at their offsets and leaves every other byte of the sector as it is.
void encode_start_sector(const StartSector& fields, std::span<uint8_t, kSectorSize> sector);

// The serial number as text: ASCII up to the first NUL, at most 8 characters.
std::string recorder_serial_text(const StartSector& fields);
