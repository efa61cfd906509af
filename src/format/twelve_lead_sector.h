// The 12-lead data sector: 30 time points of the eight stored leads as signed 16-bit words, and
// up to six pace entries whose bits 3-7 give a pulse's time point. The 12-lead files and the
// EDF+ export unpack it through here.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>

#include "format/sector_types.h"
#include "support/byte_order.h"

inline constexpr int kStoredLeads = 8;
inline constexpr int kTimePointsPerTwelveLeadSector = 30;
// The names of the stored leads, in sector order.
inline constexpr const char* kStoredLeadNames[kStoredLeads] = {"I",  "II", "V1", "V2",
                                                               "V3", "V4", "V5", "V6"};
// The leads' scale: the calibration's -819 to 819 is 1 mV; -32768 is no data.
inline constexpr double kLeadStepsPerMillivolt = 1638;
inline constexpr uint16_t kLeadNoData = 0x8000;
inline constexpr uint16_t kLeadCalibrationLow = static_cast<uint16_t>(-819);
inline constexpr uint16_t kLeadCalibrationHigh = 819;

inline constexpr size_t kTwelveLeadPaceCountOffset = 7;
inline constexpr size_t kTwelveLeadPaceEntriesOffset = 8;
inline constexpr int kTwelveLeadMaxPaceEntries = 6;
inline constexpr size_t kTwelveLeadSamplesOffset = 32;

inline uint16_t twelve_lead_sample(std::span<const uint8_t, kSectorSize> sector, int time_point,
                                   int lead) {
    return get_u16le(&sector[kTwelveLeadSamplesOffset +
                             2 * static_cast<size_t>(time_point * kStoredLeads + lead)]);
}

// Entries beyond the sixth are not read.
inline int twelve_lead_pace_count(std::span<const uint8_t, kSectorSize> sector) {
    return std::min<int>(sector[kTwelveLeadPaceCountOffset], kTwelveLeadMaxPaceEntries);
}

inline int twelve_lead_pace_time_point(std::span<const uint8_t, kSectorSize> sector, int entry) {
    return sector[kTwelveLeadPaceEntriesOffset + static_cast<size_t>(entry)] >> 3;
}
