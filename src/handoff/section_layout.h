// The named sections through which the ECG reaches a running analysis application, and their
// layouts: a 48-byte control block with one record per channel (sample count, finished flag),
// one section of 16-bit samples per channel and the "Patient Events" list. The card-road writer,
// the CEF-road writer and the receiving test peer all build on this one description.
#pragma once

#include <array>
#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

#include "extract/patient_events.h"

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

// Counts and flags are aligned little-endian words that another process reads while they
// change: stored whole, and with release order, so that a reader that sees a count also sees
// every sample below it.
inline uint32_t little_endian_u32(uint32_t value) {
    if constexpr (std::endian::native == std::endian::big)
        return (value >> 24) | ((value >> 8) & 0xFF00u) | ((value << 8) & 0xFF0000u) |
               (value << 24);
    return value;
}

inline void store_u32le_release(uint8_t* word, uint32_t value) {
    std::atomic_ref<uint32_t>(*reinterpret_cast<uint32_t*>(word))
        .store(little_endian_u32(value), std::memory_order_release);
}

inline uint32_t load_u32le_acquire(uint8_t* word) {
    return little_endian_u32(std::atomic_ref<uint32_t>(*reinterpret_cast<uint32_t*>(word))
                                 .load(std::memory_order_acquire));
}

// The record of channel n (0-based) in a control block view of at least kControlBlockSize bytes.
inline uint8_t* control_record(uint8_t* control, int channel) {
    return control + kControlRecordSize * static_cast<size_t>(channel);
}
