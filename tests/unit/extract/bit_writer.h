// Builds compressed ECG streams for the decoder tests and benchmark: fields in the decoder's read
// order, laid out over the bodies of compressed sectors with their decompression indices.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "extract/decoder.h"
#include "support/byte_order.h"

using Sector = std::array<uint8_t, kCompressedSectorSize>;
inline constexpr size_t kBodyBits = kStreamBodySize * 8;

class BitWriter {
  public:
    // Appends the low `width` bits of value, least significant first.
    BitWriter& put(uint32_t value, int width) {
        for (int i = 0; i < width; ++i, ++m_size) {
            if (m_size % 8 == 0) m_bytes.push_back(0);
            m_bytes.back() |= static_cast<uint8_t>(((value >> i) & 1u) << (m_size % 8));
        }
        return *this;
    }
    // A channel's first sample value (0..1023, high five bits first) and its nibble type.
    BitWriter& channel_start(uint32_t first, uint32_t nibble_type) {
        return put(first >> 5, 5).put(first & 31, 5).put(nibble_type, 3);
    }
    size_t size() const { return m_size; }
    bool bit(size_t i) const { return (m_bytes[i / 8] >> (i % 8)) & 1u; }

  private:
    std::vector<uint8_t> m_bytes;
    size_t m_size = 0;
};

// Stream bit s goes to sector s / kBodyBits at bit 40 + s % kBodyBits, and one more sector follows
// for the bits the decoder reads from the carried bytes. Each header's index names the first of
// `block_starts` (stream bit positions, ascending) that falls into its sector.
inline std::vector<Sector> to_sectors(const BitWriter& stream, uint8_t type,
                                      const std::vector<size_t>& block_starts) {
    std::vector<Sector> sectors(stream.size() / kBodyBits + 2, Sector{});
    for (size_t s = 0; s < stream.size(); ++s) {
        const size_t bit = kFirstBodyBit + s % kBodyBits;
        sectors[s / kBodyBits][bit / 8] |= static_cast<uint8_t>(stream.bit(s) << (bit % 8));
    }
    for (Sector& sector : sectors)
        sector[0] = type;
    for (auto start = block_starts.rbegin(); start != block_starts.rend(); ++start) {
        put_u16le(&sectors[*start / kBodyBits][3],
                  static_cast<uint16_t>(kFirstBodyBit + *start % kBodyBits));
    }
    return sectors;
}

// Feeds the sectors in order and returns the blocks completed, at most max_blocks.
inline std::vector<DecodedBlock> decode_blocks(EcgDecoder& decoder,
                                               const std::vector<Sector>& sectors,
                                               size_t max_blocks) {
    std::vector<DecodedBlock> blocks;
    for (const Sector& sector : sectors) {
        for (DecodeResult r{}; !r.sector_done && blocks.size() < max_blocks;) {
            r = decoder.decode_sector(sector);
            if (!r.ok) return blocks;
            if (r.block_done) blocks.push_back(decoder.block());
        }
    }
    return blocks;
}
