// Builds plain (unscrambled) sectors field by field for the sector tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "extract/uncompressed_sector.h"
#include "format/sector_types.h"

class SectorBuilder {
  public:
    explicit SectorBuilder(uint8_t type, uint16_t recording_num = 7) {
        m_sector[kSectorTypeOffset] = type;
        m_sector[kSectorRecordingNumOffset] = static_cast<uint8_t>(recording_num);
        m_sector[kSectorRecordingNumOffset + 1] = static_cast<uint8_t>(recording_num >> 8);
    }

    SectorBuilder& byte(size_t offset, uint8_t value) {
        m_sector.at(offset) = value;
        return *this;
    }

    // 10-bit payload field k, least significant bit first at bit 10k of the payload.
    SectorBuilder& field(int k, uint16_t value) {
        for (int bit = 0; bit < 10; ++bit) {
            const size_t at = static_cast<size_t>(10 * k + bit);
            uint8_t& b = m_sector.at(kPayloadOffset + at / 8);
            b = static_cast<uint8_t>((b & ~(1u << at % 8)) | ((value >> bit) & 1u) << at % 8);
        }
        return *this;
    }

    SectorBuilder& pace(const std::vector<uint8_t>& indices) {
        m_sector[kPaceCountOffset] = static_cast<uint8_t>(indices.size());
        for (size_t i = 0; i < indices.size(); ++i)
            m_sector.at(kSideAreaOffset + 2 * i) = indices[i];
        return *this;
    }

    // Signed correction nibbles in reading order: byte 31 low, byte 31 high, byte 30 low, ...
    SectorBuilder& nibbles(std::initializer_list<int> values) {
        size_t n = 0;
        for (const int v : values) {
            uint8_t& b = m_sector.at(kSideAreaOffset + kSideAreaSize - 1 - n / 2);
            const int shift = n++ % 2 * 4;
            b = static_cast<uint8_t>((b & ~(0xF << shift)) | (v & 0xF) << shift);
        }
        return *this;
    }

    const Sector& build() const { return m_sector; }

  private:
    Sector m_sector{};
};
