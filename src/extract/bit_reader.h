// Bit reader of the compressed ECG stream, used by the decoder only. The stream runs on through the
// 507-byte bodies of consecutive compressed sectors, so a code may begin in one sector and end in
// the next: the reader keeps the last body bytes of the previous sector and reads them through
// negative byte indices before it moves on to the new body.
#pragma once

#include <array>
#include <cassert>
#include <cstdint>

// A compressed sector is 5 header bytes and 507 bytes of the continuous bit stream.
inline constexpr int kCompressedSectorSize = 512;
inline constexpr int kStreamBodyOffset = 5;
inline constexpr int kStreamBodySize = 507;
// The sector's decompression index is a bit position counted from sector byte 0.
inline constexpr int kFirstBodyBit = kStreamBodyOffset * 8;
inline constexpr int kLastBodyBit = kCompressedSectorSize * 8 - 1;

class BitReader {
  public:
    // Bytes 499..506 of a body: a single decoding step reads at most 53 bits, so once a byte past
    // 499 has been fetched the step can end no later than byte 506, and the remaining bits of the
    // step are all among these.
    static constexpr int kCarriedBytes = 8;
    static constexpr int kLastByteBeforeEnd = kStreamBodySize - kCarriedBytes;

    // Empty accumulator at the first body byte.
    void reset();
    // The body of the sector being decoded; it must stay valid while this sector is read.
    void begin_sector(const uint8_t* body) {
        assert(body != nullptr);
        m_body = body;
    }
    // Places the reader at a bit of the current sector (kFirstBodyBit..kLastBodyBit); the byte
    // that holds it is loaded by prime(), once the sector's body is known.
    void set_position(int bit_index);
    void prime();
    // Keeps the tail of the finished body and makes the byte index relative to the next body.
    void finish_sector();

    // Next n bits (0 <= n <= 8), least significant first; fetches at most one byte. A pace field
    // narrowed to nothing reads 0 bits.
    uint32_t read(int n) {
        assert(n >= 0 && n <= 8);
        if (m_bit_count < n) fetch();
        const uint32_t value = m_accumulator & ((1u << n) - 1);
        m_accumulator >>= n;
        m_bit_count -= n;
        return value;
    }

    // Set once a byte past kLastByteBeforeEnd has been fetched: the sector is used up after the
    // current step.
    bool sector_end() const { return m_sector_end; }
    int byte_index() const { return m_byte_index; }
    int bit_count() const { return m_bit_count; }
    // Bit position of the next unread bit, counted from sector byte 0 of the current sector.
    int bit_position() const { return (m_byte_index + kStreamBodyOffset) * 8 - m_bit_count; }

  private:
    void fetch() {
        assert(m_body != nullptr && m_bit_count <= 24);
        if (m_byte_index > kLastByteBeforeEnd) m_sector_end = true;
        m_accumulator |= static_cast<uint32_t>(byte_at(m_byte_index)) << m_bit_count;
        ++m_byte_index;
        m_bit_count += 8;
    }
    // Indices -8..-1 are the carried bytes. The decoder never asks outside -8..506; the bound is
    // kept so that no stream, however damaged, can make the reader leave its buffers.
    uint8_t byte_at(int index) const {
        if (index < 0) return index >= -kCarriedBytes ? m_carried[index + kCarriedBytes] : 0;
        return index < kStreamBodySize ? m_body[index] : 0;
    }

    uint32_t m_accumulator = 0;
    int m_bit_count = 0;
    int m_byte_index = 0;
    const uint8_t* m_body = nullptr;
    bool m_sector_end = false;
    std::array<uint8_t, kCarriedBytes> m_carried{};
};
