// The time points of one uncompressed sector, unpacked at once and handed to the sample output
// as a block, so that the outputs can write each channel's run of words in one go.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "extract/decoded_block.h"
#include "extract/sample_word.h"

inline constexpr int kMaxSectorTimePoints = 192;

struct TimePointBlock {
    using Run = std::array<uint16_t, kMaxSectorTimePoints>;

    // The sector's values per channel (10- or 12-bit as `scale` says); channels at and past
    // `channels` have none.
    std::array<Run, kMaxStreamChannels> values{};
    // kPaceMark and kPacingWindowMark as for a decoded second.
    Run marks{};
    int channels = 0;
    int count = 0;
    // The duration limit is tested before each packed group of this many time points.
    int group = 1;
    SampleScale scale = SampleScale::ten_bit;

    // How many time points an output at `written` of `limit` takes: every group that begins
    // below the limit, so the last one may run past it.
    int points_within(int64_t written, int64_t limit) const {
        const int64_t room = limit - written;
        if (room <= 0) return 0;
        if (room >= count) return count;
        return std::min(count, static_cast<int>((room + group - 1) / group * group));
    }
};
