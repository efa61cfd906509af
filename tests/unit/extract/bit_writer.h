// Compressed ECG streams for the decoder tests and benchmark, built on the simulator's bit
// writer: fields in the decoder's read order, laid out over the bodies of compressed sectors.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "cardsim/lib/bit_writer.h"
#include "extract/decoder.h"
#include "support/byte_order.h"

using Sector = std::array<uint8_t, kCompressedSectorSize>;
inline constexpr size_t kBodyBits = kStreamBodySize * 8;

// The simulator's writer with fields that chain.
class BitWriter : public cardsim::BitWriter {
  public:
    BitWriter& put(uint32_t value, int width) {
        cardsim::BitWriter::put(value, width);
        return *this;
    }
    // A channel's first sample value (0..1023, high five bits first) and its nibble type.
    BitWriter& channel_start(uint32_t first, uint32_t nibble_type) {
        return put(first >> 5, 5).put(first & 31, 5).put(nibble_type, 3);
    }
    size_t size() const { return bit_count(); }
};

// Stream byte b goes to body byte b % kStreamBodySize of sector b / kStreamBodySize, and one more
// sector follows for the bits the decoder reads from the carried bytes. Each header's index names
// the first of `block_starts` (stream bit positions, ascending) that falls into its sector.
inline std::vector<Sector> to_sectors(const BitWriter& stream, uint8_t type,
                                      const std::vector<size_t>& block_starts) {
    const std::vector<uint8_t> bytes = stream.bytes();
    std::vector<Sector> sectors(stream.size() / kBodyBits + 2, Sector{});
    for (size_t b = 0; b < bytes.size(); ++b)
        sectors[b / kStreamBodySize][kStreamBodyOffset + b % kStreamBodySize] = bytes[b];
    for (Sector& sector : sectors)
        sector[0] = type;
    for (auto start = block_starts.rbegin(); start != block_starts.rend(); ++start)
        put_u16le(&sectors[*start / kBodyBits][3],
                  static_cast<uint16_t>(kFirstBodyBit + *start % kBodyBits));
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
