// The layout of the uncompressed data sectors (types 0x01, 0x02, 0x30: 10-bit samples; 0x04,
// 0x05: delta-coded 12-bit samples): the header fields, the side area of pace entries and
// correction nibbles, and the payload of packed 10-bit fields.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "format/sector_types.h"

inline constexpr size_t kPatientEventOffset = 6;  // bit 0: the patient pressed the event button
inline constexpr size_t kInitialBitsOffset = 8;
inline constexpr size_t kPaceCountOffset = 11;
inline constexpr size_t kSideAreaOffset = 12;
inline constexpr size_t kSideAreaSize = 20;
inline constexpr size_t kPayloadOffset = 32;
inline constexpr int kMaxPaceEntries = 10;

struct UncompressedLayout {
    int channels;
    int time_points;        // per sector
    int group_time_points;  // time points per packed group of whole bytes
    bool delta_coded;       // values are 12-bit; otherwise 10-bit
};

// The layout of an uncompressed data sector type; nothing for any other type.
std::optional<UncompressedLayout> uncompressed_layout(uint8_t type_byte);

bool has_patient_event(std::span<const uint8_t, kSectorSize> sector);
