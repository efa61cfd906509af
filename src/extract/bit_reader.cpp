#include "extract/bit_reader.h"

void BitReader::reset() {
    m_bits = 0;
    m_count = 0;
    m_position = 0;
    m_placed_byte_index = 0;
    m_placed_at_end = false;
}

void BitReader::set_position(int bit_index) {
    assert(is_body_bit(bit_index));
    m_count = 0;
    m_position = bit_index - kFirstBodyBit;
    m_placed_byte_index = m_position / 8 + 1;
    m_placed_at_end = false;
}

void BitReader::prime() {
    // The byte that holds the position counts as read: placed in byte 499, the sector ends.
    m_count = 0;
    m_placed_at_end = m_placed_byte_index > kLastByteBeforeEnd;
}

void BitReader::finish_sector() {
    std::copy_n(m_body + kLastByteBeforeEnd, kCarriedBytes, m_carried.begin());
    m_count = 0;
    m_position -= kStreamBodySize * 8;
    m_placed_byte_index -= kStreamBodySize;
    m_placed_at_end = false;
}

uint64_t BitReader::gathered_word(int first) const {
    uint64_t word = 0;
    for (int i = 7; i >= 0; --i)
        word = (word << 8) | byte_at(first + i);
    return word;
}

bool BitReader::same_stream_state(const BitReader& other) const {
    // Only the m_count bits not yet consumed are the stream's; the rest of the container is spent.
    const auto pending = [](const BitReader& reader) {
        return reader.m_count >= 64 ? reader.m_bits
                                    : reader.m_bits & ((uint64_t{1} << reader.m_count) - 1);
    };
    // The byte index where a seek placed the reader matters only while it leads the position, so
    // the index the trace reports stands for it.
    return m_count == other.m_count && pending(*this) == pending(other) &&
           m_position == other.m_position && byte_index() == other.byte_index() &&
           m_placed_at_end == other.m_placed_at_end && m_carried == other.m_carried;
}
