// Decoding of the delta-coded sectors (types 0x04 and 0x05): each 10-bit field is a step of the
// channel's running 12-bit value, large steps being refined by signed correction nibbles from the
// sector's side area. The uncompressed-sector unpacker runs one decoder per sector.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "format/sector_types.h"

class DeltaDecoder {
  public:
    // Takes the channels' initial-value bits, the pace entry count and the side area from the
    // descrambled sector.
    explicit DeltaDecoder(std::span<const uint8_t, kSectorSize> sector);

    // The 12-bit sample of the channel's next field (0..1023).
    uint16_t decode(int channel, uint16_t field);

  private:
    int next_nibble();

    std::span<const uint8_t, kSectorSize> m_sector;
    std::array<unsigned, 3> m_running{};
    std::array<bool, 3> m_first{true, true, true};
    int m_pace_entries = 0;
    int m_nibbles_read = 0;
};
