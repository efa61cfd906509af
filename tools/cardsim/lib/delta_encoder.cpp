#include "cardsim/lib/delta_encoder.h"

#include <algorithm>
#include <cstddef>

namespace cardsim {
namespace {

constexpr size_t kInitialBitsOffset = 8;
constexpr size_t kLastSideByte = 31;
constexpr int kSideAreaBytes = 20;

constexpr int kModulus = 4096;
constexpr int kLowClamp = 400;
constexpr int kHighClamp = 3695;
constexpr int kSmallStep = 400;
constexpr int kCoarseUpBase = 408;     // fields 401..503: +408 + 16 × (field − 401)
constexpr int kCoarseDownBase = 2056;  // fields 521..623: +2056 + 16 × (field − 521), mod 4096
constexpr int kCoarseCount = 103;
constexpr uint16_t kFieldCoarseUp = 401;
constexpr uint16_t kFieldCoarseDown = 521;
constexpr uint16_t kFieldTo8 = 520;
constexpr uint16_t kFieldTo4087 = 504;
constexpr uint16_t kFieldTo0 = 505;

int wrap(int value) {
    return ((value % kModulus) + kModulus) % kModulus;
}

}  // namespace

DeltaCode DeltaEncoder::first(int channel, uint16_t value) {
    m_sector[kInitialBitsOffset] |= static_cast<uint8_t>((value >> 10) << (2 * channel));
    m_running[static_cast<size_t>(channel)] = value;
    return {static_cast<uint16_t>(value & 1023), value};
}

DeltaCode DeltaEncoder::next(int channel, uint16_t value) {
    int& running = m_running[static_cast<size_t>(channel)];
    const int base = std::clamp(running, kLowClamp, kHighClamp);
    const int up = wrap(value - base);  // the step as seen going up, 0..4095
    if (up <= kSmallStep) {
        running = value;
        return {static_cast<uint16_t>(up), value};
    }
    if (up >= kModulus - kSmallStep) {
        running = value;
        return {static_cast<uint16_t>(up - kModulus + 1024), value};
    }
    switch (value) {
        case 8:
            running = value;
            return {kFieldTo8, value};
        case 4087:
            running = value;
            return {kFieldTo4087, value};
        case 0:
            running = value;
            return {kFieldTo0, value};
        default:
            break;
    }
    // Coarse step upwards (output = coarse − nibble) for steps up to 2048, downwards
    // (output = coarse + nibble) beyond.
    const bool upwards = up <= 2048;
    const int offset = upwards ? up - kCoarseUpBase : up - kCoarseDownBase;
    const int sign = upwards ? -1 : 1;
    // Coarse index whose remainder fits a nibble: −8..7 below the step going up, above it
    // going down.
    int index = upwards ? (offset + 7) / 16 : (offset + 8) / 16;
    int nibble = sign * (offset - 16 * index);
    if (!put_nibble(nibble)) {
        index = std::min((offset + 8) / 16, kCoarseCount - 1);  // nearest coarse value
        nibble = 0;
    }
    const int coarse = (upwards ? kCoarseUpBase : kCoarseDownBase) + 16 * index;
    running = wrap(base + coarse);
    const uint16_t field =
        static_cast<uint16_t>((upwards ? kFieldCoarseUp : kFieldCoarseDown) + index);
    return {field, static_cast<uint16_t>(wrap(running + sign * nibble))};
}

bool DeltaEncoder::put_nibble(int nibble) {
    if (2 * m_pace_entries >= kSideAreaBytes - m_nibbles / 2) return false;
    const size_t byte = kLastSideByte - static_cast<size_t>(m_nibbles / 2);
    const uint8_t bits = static_cast<uint8_t>(nibble & 0x0F);
    m_sector[byte] |= (m_nibbles % 2 == 0) ? bits : static_cast<uint8_t>(bits << 4);
    ++m_nibbles;
    return true;
}

}  // namespace cardsim
