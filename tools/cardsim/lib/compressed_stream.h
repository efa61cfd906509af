// The continuous bit stream of a compressed recording segment cut into sectors of type 0x21,
// 0x22 or 0x23: 507 stream bytes per sector, and in bytes 3-4 of each sector the bit position of
// the first block that begins in it. Blocks straddle sector boundaries freely.
#pragma once

#include <cstdint>
#include <deque>

#include "cardsim/lib/bit_writer.h"
#include "cardsim/lib/sector_sink.h"

namespace cardsim {

inline constexpr size_t kStreamBytesPerSector = kSectorBytes - kBodyOffset;

// Decompression index of a sector in which no block begins (a long block spans it); the decoder
// never consults it, as it compares the index only at a block start inside the sector.
inline constexpr uint16_t kNoBlockIndex = 0;

class CompressedStream {
  public:
    CompressedStream(uint8_t sector_type, uint16_t recording_num, SectorSink& sink)
        : m_sector_type(sector_type), m_recording_num(recording_num), m_sink(sink) {}

    BitWriter& writer() { return m_writer; }

    // Call before writing a block that begins at `position`, and emit_complete_sectors after.
    void begin_block(int64_t position);
    void emit_complete_sectors();

    // Pads the stream with idle commands to the end of a sector in which the decoder can complete
    // the last block, and emits the rest; the segment's stream ends here.
    void finish();

  private:
    struct BlockStart {
        uint64_t bit;
        int64_t position;
    };
    void emit_sector();

    uint8_t m_sector_type;
    uint16_t m_recording_num;
    SectorSink& m_sink;
    BitWriter m_writer;
    std::deque<BlockStart> m_starts;
    uint64_t m_sectors = 0;
    int64_t m_last_position = 0;
};

}  // namespace cardsim
