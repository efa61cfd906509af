#include "cardsim/lib/pace_list_writer.h"

#include <cmath>

namespace cardsim {
namespace {

constexpr int kPositionWidth = 7;
constexpr int kLastPosition = 127;

// A regular series is decoded as first + trunc(i × q + 0.5) with q in single precision. Only a
// pulse train that this formula reproduces exactly, whether the product is taken in single or in
// double precision, is written as a series; the two agree for every train the recorder makes.
bool is_exact_series(std::span<const uint8_t> pulses) {
    const int count = static_cast<int>(pulses.size());
    const int first = pulses.front();
    const float q = static_cast<float>(pulses.back() - first) / static_cast<float>(count - 1);
    for (int i = 0; i < count; ++i) {
        const float product = static_cast<float>(i) * q;
        const int single = first + static_cast<int>(std::trunc(product + 0.5f));
        const int wide = first + static_cast<int>(std::trunc(static_cast<double>(product) + 0.5));
        if (single != pulses[static_cast<size_t>(i)] || wide != pulses[static_cast<size_t>(i)]) {
            return false;
        }
    }
    return true;
}

void put_explicit(std::span<const uint8_t> pulses, BitWriter& writer) {
    writer.put(1, 1);
    writer.put(static_cast<uint32_t>(pulses.size()), 3);
    writer.put(pulses[0], kPositionWidth);
    int width = kPositionWidth;
    for (size_t k = 1; k < pulses.size(); ++k) {
        width = pace_gap_width(width, pulses[k - 1]);
        writer.put(static_cast<uint32_t>(pulses[k] - pulses[k - 1] - 1), width);
    }
}

}  // namespace

int pace_gap_width(int width, int previous) {
    while (width > 0 && kLastPosition - 1 - previous <= (1 << (width - 1)) - 1)
        --width;
    return width;
}

int put_pace_list(std::span<const uint8_t> pulses, BitWriter& writer) {
    const int count = static_cast<int>(pulses.size());
    if (count == 0) {
        writer.put(0, 1);
        return 0;
    }
    if (count >= kMinSeriesPulses && count <= kMaxSeriesPulses && is_exact_series(pulses)) {
        const int span = pulses.back() - pulses.front();
        const int width = pace_gap_width(kPositionWidth, span);
        if (pulses.front() < (1 << width)) {
            writer.put(1, 1);
            writer.put(0, 3);
            writer.put(static_cast<uint32_t>(count - kMinSeriesPulses), 5);
            writer.put(static_cast<uint32_t>(span), kPositionWidth);
            writer.put(pulses.front(), width);
            return count;
        }
    }
    const size_t kept = count > kMaxExplicitPulses ? kMaxExplicitPulses : pulses.size();
    put_explicit(pulses.first(kept), writer);
    return static_cast<int>(kept);
}

void put_channel_absent(int channel, BitWriter& writer) {
    writer.put(1, 1);
    writer.put(0, 3);
    writer.put(static_cast<uint32_t>(channel + 1), 5);  // 9, 10, 11 after the offset of 8
    writer.put(0, kPositionWidth);
}

}  // namespace cardsim
