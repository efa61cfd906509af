// Encoders of the uncompressed data sectors: 10-bit samples (types 0x01, 0x02, 0x30) and
// delta-coded 12-bit samples (types 0x04, 0x05), with the patient-event bit and the pace entries
// of the sector's side area. Each returns the sample values exactly as a reader writes them.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "cardsim/lib/sector_sink.h"

namespace cardsim {

inline constexpr int kMaxSectorTimePoints = 192;
inline constexpr int kMaxPaceEntries = 10;

struct UncompressedLayout {
    int channels;
    int time_points;
    bool delta_coded;
};

// Layout of an uncompressed data sector type (0x01, 0x02, 0x04, 0x05, 0x30).
UncompressedLayout uncompressed_layout_of(uint8_t type);

using SectorChannel = std::array<uint16_t, kMaxSectorTimePoints>;

struct UncompressedInput {
    // 12-bit sample values 0..4095 the recorder measured, per channel and time point.
    std::array<SectorChannel, 3> targets{};
    // Ascending time points of the pacemaker pulses detected in this sector.
    std::vector<uint8_t> pulses;
    bool patient_event = false;
};

struct UncompressedResult {
    // The 12-bit values a reader writes: 10-bit values times 4, delta outputs as they are, and 0
    // raised to the smallest value (4 or 1) because 0 is reserved for no data.
    std::array<SectorChannel, 3> samples{};
    // The pulses the side area holds (at most 10).
    std::vector<uint8_t> pulses;
};

// Builds the plain (unsealed) sector of `type`.
void encode_uncompressed_sector(uint8_t type, uint16_t recording_num,
                                const UncompressedInput& input, SectorBytes& sector,
                                UncompressedResult& result);

}  // namespace cardsim
