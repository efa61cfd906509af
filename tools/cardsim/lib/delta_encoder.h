// Delta coding of the 12-bit samples of sector types 0x04 and 0x05, the inverse of the reader's
// delta decoding: each channel's first field of a sector holds its value with the two high bits
// in byte 8; every later field is a step from the running value, which the decoder clamps to
// 400..3695 first. Steps beyond ±400 take a coarse code in 16s plus a signed correction nibble
// from the side area, as long as the side area has room for one after the pace entries; without
// one the coarse value is what the reader gets.
#pragma once

#include <array>
#include <cstdint>

#include "cardsim/lib/sector_sink.h"

namespace cardsim {

struct DeltaCode {
    uint16_t field;   // 10-bit code
    uint16_t output;  // 12-bit value the decoder produces from it
};

class DeltaEncoder {
  public:
    // Nibbles go into the sector's side area behind `pace_entries` entries.
    DeltaEncoder(SectorBytes& sector, int pace_entries)
        : m_sector(sector), m_pace_entries(pace_entries) {}

    // The channel's first field of the sector; sets its initial-value bits.
    DeltaCode first(int channel, uint16_t value);
    DeltaCode next(int channel, uint16_t value);

  private:
    bool put_nibble(int nibble);

    SectorBytes& m_sector;
    int m_pace_entries;
    int m_nibbles = 0;
    std::array<int, 3> m_running{};
};

}  // namespace cardsim
