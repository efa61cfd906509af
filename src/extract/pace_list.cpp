#include "extract/pace_list.h"

#include <algorithm>

namespace {

// Positions run to 127; a field only needs the width that can still reach position 126 from the
// previous position, and the recorder narrows it accordingly.
constexpr int kWidthLimitPosition = 126;
constexpr int kPositionWidth = 7;
constexpr int kSeriesMinimumCount = 8;
// Channel-absent commands use the series count field: 9, 10, 11 name channels 1, 2, 3.
constexpr int kAbsentChannelBase = 9;

int shrink_width(int width, int room) {
    while (width > 0 && room <= (1 << (width - 1)) - 1)
        --width;
    return width;
}

void mark_pulse(int position, PaceList& pace, BlockSamples& marks) {
    if (position >= kSamplesPerBlock) return;
    const int end = std::min(position + kPacingWindow, kSamplesPerBlock);
    marks[position] = kPaceMark;
    for (int i = position; i < end; ++i)
        marks[i] |= kPacingWindowMark;
    pace.window_carry = kPacingWindow - (end - position);
}

PaceListKind read_series(BitReader& reader, PaceList& pace, ChannelPresence& present,
                         BlockSamples& marks) {
    const int count = static_cast<int>(reader.read(5)) + kSeriesMinimumCount;
    const int span = static_cast<int>(reader.read(kPositionWidth));
    if (span == 0) {
        const int channel = count - kAbsentChannelBase;
        if (channel >= 0 && channel < kMaxStreamChannels) present[channel] = false;
        return PaceListKind::kChannelAbsent;
    }
    const int width = shrink_width(kPositionWidth, kWidthLimitPosition - span);
    const int first = static_cast<int>(reader.read(width));
    const int last = first + span;
    pace.pace_count = count;
    pace.pace_positions[0] = first;
    pace.pace_positions[6] = last;
    // The recorder spaces the pulses in single precision; a double would round some of them to
    // the neighbouring sample.
    const float spacing = static_cast<float>(last - first) / static_cast<float>(count - 1);
    for (int i = 0; i < count; ++i) {
        mark_pulse(first + static_cast<int>(static_cast<float>(i) * spacing + 0.5), pace, marks);
    }
    return PaceListKind::kPulses;
}

}  // namespace

void prefill_marks(PaceList& pace, BlockSamples& marks) {
    std::fill(marks.begin(), marks.begin() + pace.window_carry, kPacingWindowMark);
    std::fill(marks.begin() + pace.window_carry, marks.end(), 0);
    pace.window_carry = 0;
}

PaceListKind read_pace_list(BitReader& reader, PaceList& pace, ChannelPresence& present,
                            BlockSamples& marks) {
    pace.pace_count = 0;
    if (reader.read(1) == 0) return PaceListKind::kPulses;
    const int count = static_cast<int>(reader.read(3));
    if (count == 0) return read_series(reader, pace, present, marks);

    auto& positions = pace.pace_positions;
    positions[0] = static_cast<int>(reader.read(kPositionWidth));
    int width = kPositionWidth;
    for (int k = 1; k < count; ++k) {
        width = shrink_width(width, kWidthLimitPosition - positions[k - 1]);
        positions[k] = positions[k - 1] + static_cast<int>(reader.read(width)) + 1;
    }
    pace.pace_count = count;
    for (int k = 0; k < count; ++k)
        mark_pulse(positions[k], pace, marks);
    return PaceListKind::kPulses;
}
