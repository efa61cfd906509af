// Sectors of the 12-lead recorder: type 0x40 carries 30 time points of the eight stored leads
// (signed 16-bit, 0x8000 reserved for no data) and up to six pace entries; type 0x41 carries
// auxiliary data that readers check and pass over.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "cardsim/lib/sector_sink.h"

namespace cardsim {

inline constexpr int kTwelveLeadTimePoints = 30;
inline constexpr int kStoredLeads = 8;
inline constexpr int kMaxTwelveLeadPaceEntries = 6;

struct TwelveLeadInput {
    std::array<std::array<int16_t, kStoredLeads>, kTwelveLeadTimePoints> samples{};
    // Ascending time points 0..29 of detected pacemaker pulses.
    std::vector<uint8_t> pulses;
};

// Builds the plain (unsealed) 0x40 sector; returns how many pulses it holds (at most 6).
int encode_twelve_lead_sector(uint16_t recording_num, const TwelveLeadInput& input,
                              SectorBytes& sector);

// Builds a plain 0x41 sector; `sequence` numbers the auxiliary sectors of the recording.
void encode_auxiliary_sector(uint16_t recording_num, uint32_t sequence, SectorBytes& sector);

}  // namespace cardsim
