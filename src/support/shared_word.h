// Words of shared memory that another process reads while they change: the mapped sections'
// counts and flags and the patient-event count.
#pragma once

#include <atomic>
#include <bit>
#include <cstdint>

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
