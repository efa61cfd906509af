// Little-endian reads and writes of the recorder's and the outputs' packed byte layouts.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

inline uint16_t get_u16le(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t get_u32le(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// One unaligned load on little-endian machines, the hot path of the compressed-stream reader.
inline uint64_t get_u64le(const uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
        uint64_t v;
        std::memcpy(&v, p, sizeof v);
        return v;
    } else {
        uint64_t v = 0;
        for (int i = 7; i >= 0; --i)
            v = (v << 8) | p[i];
        return v;
    }
}

inline void put_u16le(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

// A run of words at once: one copy on little-endian machines.
inline void put_u16le_words(uint8_t* p, std::span<const uint16_t> words) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, words.data(), words.size_bytes());
    } else {
        for (const uint16_t word : words) {
            put_u16le(p, word);
            p += 2;
        }
    }
}

inline void put_u32le(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

// A fixed-width byte field of a record, at its offset.
template <size_t N>
void get_field(std::span<const uint8_t> bytes, size_t offset, std::array<uint8_t, N>& field) {
    assert(offset + N <= bytes.size());
    std::copy_n(bytes.begin() + static_cast<ptrdiff_t>(offset), N, field.begin());
}

template <size_t N>
void put_field(const std::array<uint8_t, N>& field, std::span<uint8_t> bytes, size_t offset) {
    assert(offset + N <= bytes.size());
    std::copy(field.begin(), field.end(), bytes.begin() + static_cast<ptrdiff_t>(offset));
}
