// Least-significant-bit-first bit string, the order in which the compressed ECG stream is read.
// The stream encoder appends fields; the sector splitter takes whole bytes off the front.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace cardsim {

class BitWriter {
  public:
    // Appends the low `width` bits of value (width 0..32), least significant first.
    void put(uint32_t value, int width) {
        m_pending |= (static_cast<uint64_t>(value) & ((uint64_t{1} << width) - 1))
                     << m_pending_bits;
        m_pending_bits += width;
        m_bit_count += static_cast<size_t>(width);
        while (m_pending_bits >= 8) {
            m_bytes.push_back(static_cast<uint8_t>(m_pending));
            m_pending >>= 8;
            m_pending_bits -= 8;
        }
    }

    // Bits appended since construction, including the bytes already taken off the front.
    size_t bit_count() const { return m_bit_count; }

    // Completed bytes not yet taken, then the partial byte (its unused high bits 0).
    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> out = m_bytes;
        if (m_pending_bits > 0) out.push_back(static_cast<uint8_t>(m_pending));
        return out;
    }

    size_t whole_bytes() const { return m_bytes.size(); }

    // Moves the first `count` whole bytes to out and forgets them.
    void take_front(size_t count, uint8_t* out) {
        for (size_t i = 0; i < count; ++i)
            out[i] = m_bytes[i];
        m_bytes.erase(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(count));
    }

  private:
    std::vector<uint8_t> m_bytes;
    uint64_t m_pending = 0;
    int m_pending_bits = 0;
    size_t m_bit_count = 0;
};

}  // namespace cardsim
