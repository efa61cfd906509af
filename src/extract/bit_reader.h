// Bit reader of the compressed ECG stream, used by the decoder only. The stream runs on through the
// 507-byte bodies of consecutive compressed sectors, so a code may begin in one sector and end in
// the next: the reader keeps the last body bytes of the previous sector and reads them through
// negative byte indices before it moves on to the new body. Bits are taken from a 64-bit container
// filled eight bytes at a time, so that a whole code can be looked up from one peek.
#pragma once

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>

#include "support/byte_order.h"

// A compressed sector is 5 header bytes and 507 bytes of the continuous bit stream.
inline constexpr int kCompressedSectorSize = 512;
inline constexpr int kStreamBodyOffset = 5;
inline constexpr int kStreamBodySize = 507;
// The sector's decompression index is a bit position counted from sector byte 0.
inline constexpr int kFirstBodyBit = kStreamBodyOffset * 8;
inline constexpr int kLastBodyBit = kCompressedSectorSize * 8 - 1;

// Whether a decompression index names a bit of the sector body, where a block can begin.
inline constexpr bool is_body_bit(int bit) {
    return bit >= kFirstBodyBit && bit <= kLastBodyBit;
}

class BitReader {
  public:
    // Bytes 499..506 of a body: a single decoding step reads at most 53 bits, so once a byte past
    // 499 has been read from the step can end no later than byte 506, and the remaining bits of
    // the step are all among these.
    static constexpr int kCarriedBytes = 8;
    static constexpr int kLastByteBeforeEnd = kStreamBodySize - kCarriedBytes;
    // The container always holds at least this many bits after a refill.
    static constexpr int kMaxEnsuredBits = 57;

    // Empty reader at the first body bit.
    void reset();
    // The body of the sector being decoded; it must stay valid while this sector is read.
    void begin_sector(const uint8_t* body) {
        assert(body != nullptr);
        m_body = body;
        m_count = 0;
    }
    // Places the reader at a bit of the current sector (kFirstBodyBit..kLastBodyBit); prime()
    // completes the move once the sector's body is known.
    void set_position(int bit_index);
    void prime();
    // Keeps the tail of the finished body and makes the position relative to the next body.
    void finish_sector();
    // Forgets the body: a reader copied from another thread's work must not reach into that
    // thread's buffer, and begin_sector() names the next body before any read.
    void detach_sector() { m_body = nullptr; }
    // Whether the two readers give the same bits and trace the same byte indices from here on,
    // once each is given the same next body. The bodies themselves are not compared.
    bool same_stream_state(const BitReader& other) const;

    // Reads up to `limit` codes of at most `longest` bits (<= kMaxEnsuredBits), stopping early at
    // the end of the sector; `code` gets a peek of the next bits, least significant first, and
    // returns the length of the code it found there. The container lives in registers for the
    // whole run.
    template <typename Code>
    void read_codes(int limit, int longest, Code&& code) {
        assert(longest >= 0 && longest <= kMaxEnsuredBits);
        if (m_placed_at_end) return;
        uint64_t bits = m_bits;
        int count = m_count;
        int position = m_position;
        for (int done = 0; done < limit && position <= kEndPosition; ++done) {
            if (count < longest) {
                bits = word_at(position >> 3) >> (position & 7);
                count = 64 - (position & 7);
            }
            const int length = code(bits);
            assert(length > 0 && length <= longest);
            bits >>= length;
            count -= length;
            position += length;
        }
        m_bits = bits;
        m_count = count;
        m_position = position;
    }
    // Next n bits (0 <= n <= 8), least significant first. A pace field narrowed to nothing reads
    // 0 bits.
    uint32_t read(int n) {
        assert(n >= 0 && n <= 8);
        if (m_count < n) refill();
        const auto value = static_cast<uint32_t>(m_bits & ((1u << n) - 1));
        m_bits >>= n;
        m_count -= n;
        m_position += n;
        return value;
    }

    // Set once a bit of a byte past kLastByteBeforeEnd has been read, or the reader was placed
    // in byte 499 or later: the sector is used up after the current step.
    bool sector_end() const { return m_position > kEndPosition || m_placed_at_end; }
    // Index of the next byte a byte-at-a-time reader would fetch, relative to the body; for the
    // resynchronisation trace.
    int byte_index() const { return std::max(m_placed_byte_index, (m_position + 7) >> 3); }
    // Bit position of the next unread bit, counted from sector byte 0 of the current sector.
    int bit_position() const { return m_position + kFirstBodyBit; }

  private:
    static constexpr int kEndPosition = (kLastByteBeforeEnd + 1) * 8;

    void refill() {
        assert(m_body != nullptr && m_position >= -kCarriedBytes * 8);
        m_bits = word_at(m_position >> 3) >> (m_position & 7);
        m_count = 64 - (m_position & 7);
    }
    // Eight bytes from byte `first` on: straight from the body where they fit.
    uint64_t word_at(int first) const {
        assert(m_body != nullptr);
        return first >= 0 && first <= kStreamBodySize - 8 ? get_u64le(m_body + first)
                                                          : gathered_word(first);
    }
    uint64_t gathered_word(int first) const;
    // Indices -8..-1 are the carried bytes. The decoder never asks outside -8..506; the bound is
    // kept so that no stream, however damaged, can make the reader leave its buffers.
    uint8_t byte_at(int index) const {
        if (index < 0) return index >= -kCarriedBytes ? m_carried[index + kCarriedBytes] : 0;
        return index < kStreamBodySize ? m_body[index] : 0;
    }

    uint64_t m_bits = 0;
    int m_count = 0;
    // Bit position relative to body bit 0; negative in the carried bytes.
    int m_position = 0;
    // Where set_position() left the byte index, which counts the byte holding that bit as read.
    int m_placed_byte_index = 0;
    bool m_placed_at_end = false;
    const uint8_t* m_body = nullptr;
    std::array<uint8_t, kCarriedBytes> m_carried{};
};
