// The lookup table of the recorder's CRC-16 (polynomial 0x1021, reflected: the CRC-16/MCRF4XX
// parameters). Card storage builds one and every sector check and seal uses it.
#pragma once

#include <array>
#include <cstdint>

class Crc16Table {
  public:
    Crc16Table();
    uint16_t operator[](uint8_t index) const { return m_entries[index]; }

  private:
    std::array<uint16_t, 256> m_entries;
};
