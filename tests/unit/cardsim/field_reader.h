// Reads a bit string field by field, least significant bit first, the way the recorder's stream
// is defined; the encoder tests spell out expected streams as sequences of fields with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class FieldReader {
  public:
    explicit FieldReader(std::vector<uint8_t> bytes, size_t first_bit = 0)
        : m_bytes(std::move(bytes)), m_bit(first_bit) {}

    uint32_t read(int width) {
        uint32_t value = 0;
        for (int i = 0; i < width; ++i, ++m_bit) {
            const uint32_t bit = (m_bytes.at(m_bit / 8) >> (m_bit % 8)) & 1u;
            value |= bit << i;
        }
        return value;
    }
    size_t position() const { return m_bit; }

  private:
    std::vector<uint8_t> m_bytes;
    size_t m_bit;
};
