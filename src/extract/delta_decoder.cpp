#include "extract/delta_decoder.h"

#include <algorithm>

#include "format/data_sector.h"

namespace {

constexpr unsigned kMask12 = 0x0FFF;
constexpr unsigned kClampLow = 400;
constexpr unsigned kClampHigh = 3695;

// A nibble of 8..15 stands for -8..-1.
int signed_nibble(unsigned nibble) {
    return nibble >= 8 ? static_cast<int>(nibble) - 16 : static_cast<int>(nibble);
}

}  // namespace

DeltaDecoder::DeltaDecoder(std::span<const uint8_t, kSectorSize> sector)
    : m_sector(sector), m_pace_entries(std::min<int>(sector[kPaceCountOffset], kMaxPaceEntries)) {}

int DeltaDecoder::next_nibble() {
    // Nibbles fill the side area from its end while pace entries fill it from the front; a
    // nibble whose byte the pace entries have taken reads as 0.
    const int n = m_nibbles_read++;
    if (m_pace_entries * 2 >= static_cast<int>(kSideAreaSize) - n / 2) return 0;
    const uint8_t byte = m_sector[kSideAreaOffset + kSideAreaSize - 1 - static_cast<size_t>(n / 2)];
    return signed_nibble(n % 2 == 0 ? byte & 0x0Fu : byte >> 4);
}

uint16_t DeltaDecoder::decode(int channel, uint16_t field) {
    const auto c = static_cast<size_t>(channel);
    unsigned& r = m_running[c];
    const unsigned d = field & 0x3FFu;
    if (m_first[c]) {
        // The first field carries the low 10 bits of an absolute value whose top 2 bits come
        // from the initial-value byte.
        m_first[c] = false;
        const unsigned top = (m_sector[kInitialBitsOffset] >> (2 * c)) & 0x3u;
        r = top * 1024 + d;
        return static_cast<uint16_t>(r);
    }
    r = std::clamp(r, kClampLow, kClampHigh);
    // Unsigned arithmetic wraps modulo 2^32, a multiple of 4096, so masking gives the result
    // modulo 4096 also for the negative steps.
    if (d <= 400) {
        r = (r + d) & kMask12;
    } else if (d >= 624) {
        r = (r + d - 1024) & kMask12;
    } else if (d <= 503) {
        r = (r + (d - 401) * 16 + 408) & kMask12;
        return static_cast<uint16_t>((r - static_cast<unsigned>(next_nibble())) & kMask12);
    } else if (d >= 521) {
        r = (r + d * 16 + 1912) & kMask12;
        return static_cast<uint16_t>((r + static_cast<unsigned>(next_nibble())) & kMask12);
    } else if (d == 520) {
        r = 8;
    } else if (d == 504) {
        r = 4087;
    } else {
        r = 0;  // 505..519
    }
    return static_cast<uint16_t>(r);
}
