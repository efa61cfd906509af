#include "cardsim/lib/compressed_stream.h"

#include "cardsim/lib/pace_list_writer.h"
#include "support/byte_order.h"

namespace cardsim {
namespace {

constexpr uint64_t kStreamBitsPerSector = kStreamBytesPerSector * 8;
constexpr uint64_t kLastByteBeforeCarry = 499;
// Marks the padding's start among the block starts: it sets an index but begins no second.
constexpr int64_t kPaddingPosition = -1;

}  // namespace

void CompressedStream::begin_block(int64_t position) {
    m_starts.push_back({m_writer.bit_count(), position});
}

void CompressedStream::emit_complete_sectors() {
    while (m_writer.bit_count() >= (m_sectors + 1) * kStreamBitsPerSector)
        emit_sector();
}

void CompressedStream::finish() {
    const uint64_t end = m_writer.bit_count();
    if (end == 0) return;
    // The decoder takes the padding for a block that begins where the last one ended.
    m_starts.push_back({end, kPaddingPosition});
    uint64_t room = (kStreamBitsPerSector - end % kStreamBitsPerSector) % kStreamBitsPerSector;
    // Once the decoder has fetched one of a body's last 7 bytes it stops at the end of the step
    // and reads the rest of the block from the carried bytes with the next sector. A last block
    // that reaches them therefore needs one more compressed sector to be completed.
    if ((end - 1) % kStreamBitsPerSector / 8 >= kLastByteBeforeCarry + 1)
        room += kStreamBitsPerSector;
    while (room > 0) {
        const int width = room < kIdleCommandWidth ? static_cast<int>(room) : kIdleCommandWidth;
        m_writer.put(kIdleCommandBits, width);
        room -= static_cast<uint64_t>(width);
    }
    emit_complete_sectors();
}

void CompressedStream::emit_sector() {
    const uint64_t sector_start = m_sectors * kStreamBitsPerSector;
    const uint64_t sector_end = sector_start + kStreamBitsPerSector;
    SectorBytes sector{};
    put_sector_header(sector, m_sector_type, m_recording_num);
    m_writer.take_front(kStreamBytesPerSector, &sector[kBodyOffset]);

    // The first block that begins here names the sector's index; a sector that a long block
    // spans from end to end has none.
    uint16_t index = kNoBlockIndex;
    if (!m_starts.empty() && m_starts.front().bit < sector_end) {
        index = static_cast<uint16_t>(kFirstBodyBit + (m_starts.front().bit - sector_start));
        if (m_starts.front().position != kPaddingPosition)
            m_last_position = m_starts.front().position;
    }
    put_u16le(&sector[kCheckOffset], index);
    const uint32_t number = m_sink.put_data_sector(sector, m_last_position);
    while (!m_starts.empty() && m_starts.front().bit < sector_end) {
        const BlockStart start = m_starts.front();
        m_starts.pop_front();
        if (start.position == kPaddingPosition) continue;
        m_sink.unit_begins(start.position, number,
                           static_cast<uint16_t>(kFirstBodyBit + (start.bit - sector_start)));
        m_last_position = start.position;
    }
    ++m_sectors;
}

}  // namespace cardsim
