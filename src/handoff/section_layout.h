// The named sections through which the ECG reaches a running analysis application, and their
// layouts: a 48-byte control block with one record per channel (sample count, finished flag),
// one section of 16-bit samples per channel and the "Patient Events" list. The card-road writer,
// the CEF-road writer and the receiving test peer all build on this one description.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "extract/patient_events.h"
#include "support/shared_word.h"

inline constexpr int kMappedChannels = 3;
inline constexpr uint32_t kControlBlockSize = 48;
inline constexpr size_t kControlRecordSize = 16;
inline constexpr size_t kSampleCountOffset = 0;
inline constexpr size_t kFinishedOffset = 8;
// 32 hours of one channel at 128 samples per second, two bytes each.
inline constexpr uint32_t kSampleSectionSize = 29491200;
inline constexpr int64_t kSampleSectionSamples = kSampleSectionSize / 2;
inline constexpr uint32_t kEventSectionSize = kEventListSize;

struct SectionNames {
    std::string control;
    std::array<std::string, kMappedChannels> samples;
    std::string events;
};

// The card road puts the caller's base name in front of every name, without a separator.
SectionNames card_road_names(const std::string& base_name);
// The CEF road always uses the plain names.
SectionNames cef_road_names();

// The record of channel n (0-based) in a control block view of at least kControlBlockSize bytes.
inline uint8_t* control_record(uint8_t* control, int channel) {
    return control + kControlRecordSize * static_cast<size_t>(channel);
}
