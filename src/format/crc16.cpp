#include "format/crc16.h"

Crc16Table::Crc16Table() {
    // Shifting right with the reflected polynomial 0x8408 gives the same entries as reflecting
    // the index, running the MSB-first 0x1021 steps and reflecting the result.
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? (crc >> 1) ^ 0x8408u : crc >> 1;
        m_entries[i] = static_cast<uint16_t>(crc);
    }
}
