#include "extract/bit_reader.h"

#include <algorithm>

void BitReader::reset() {
    m_accumulator = 0;
    m_bit_count = 0;
    m_byte_index = 0;
    m_sector_end = false;
}

void BitReader::set_position(int bit_index) {
    assert(bit_index >= kFirstBodyBit && bit_index <= kLastBodyBit);
    m_accumulator = 0;
    m_bit_count = 8 - bit_index % 8;
    m_byte_index = bit_index / 8 - kStreamBodyOffset + 1;
    m_sector_end = false;
}

void BitReader::prime() {
    m_accumulator = static_cast<uint32_t>(byte_at(m_byte_index - 1)) >> (8 - m_bit_count);
    if (m_byte_index > kLastByteBeforeEnd) m_sector_end = true;
}

void BitReader::finish_sector() {
    std::copy_n(m_body + kLastByteBeforeEnd, kCarriedBytes, m_carried.begin());
    m_byte_index -= kStreamBodySize;
    m_sector_end = false;
}
