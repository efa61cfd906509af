#include "cardsim/lib/compressed_stream.h"

#include "cardsim/lib/pace_list_writer.h"
#include "support/byte_order.h"

namespace cardsim {
namespace {

constexpr uint64_t kStreamBitsPerSector = kStreamBytesPerSector * 8;

}  // namespace

void CompressedStream::begin_block(int64_t position) {
    m_starts.push_back({m_writer.bit_count(), position});
}

void CompressedStream::emit_complete_sectors() {
    while (m_writer.bit_count() >= (m_sectors + 1) * kStreamBitsPerSector)
        emit_sector();
}

void CompressedStream::finish() {
    const uint64_t used = m_writer.bit_count() % kStreamBitsPerSector;
    if (used != 0) {
        uint64_t room = kStreamBitsPerSector - used;
        while (room > 0) {
            const int width = room < kIdleCommandWidth ? static_cast<int>(room) : kIdleCommandWidth;
            m_writer.put(kIdleCommandBits, width);
            room -= static_cast<uint64_t>(width);
        }
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
        m_last_position = m_starts.front().position;
    }
    put_u16le(&sector[kCheckOffset], index);
    const uint32_t number = m_sink.put_data_sector(sector, m_last_position);
    while (!m_starts.empty() && m_starts.front().bit < sector_end) {
        const BlockStart start = m_starts.front();
        m_starts.pop_front();
        m_sink.unit_begins(start.position, number,
                           static_cast<uint16_t>(kFirstBodyBit + (start.bit - sector_start)));
        m_last_position = start.position;
    }
    ++m_sectors;
}

}  // namespace cardsim
