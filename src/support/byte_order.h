// Little-endian reads and writes of the recorder's and the outputs' packed byte layouts.
#pragma once

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>

inline uint16_t get_u16le(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t get_u32le(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Compilers turn the shifts into one load on little-endian machines.
inline uint64_t get_u64le(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

inline void put_u16le(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
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
