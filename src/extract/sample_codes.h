// The codes of a channel's samples 1..127. Each channel of a block names one of eight codings (its
// nibble type); a code gives a signed step, and the coding's step factor turns it into the change
// of the channel's level. Used by the decoder for every sample after the first.
#pragma once

#include <cstdint>

#include "extract/bit_reader.h"
#include "extract/decoded_block.h"

// The longest code: the third range of type 1's long form.
inline constexpr int kLongestSampleCode = 21;

// A channel's decoding state between codes: the running level in units of 4 (deliberately not
// clamped) and the size of the last step, by which type 3 chooses its coding.
struct ChannelLevel {
    int level = 0;
    int previous_magnitude = 0;

    bool operator==(const ChannelLevel&) const = default;
};

// Levels count in units of 4; the sample saturates, the level does not. Saturation is rare, so
// one test keeps the common case short.
inline uint16_t sample_of_level(int level) {
    const int sample = level * 4 + 1;
    if (static_cast<unsigned>(sample - 1) > 4094u) [[unlikely]]
        return sample < 1 ? 1 : 4095;
    return static_cast<uint16_t>(sample);
}

// Decodes codes of `nibble_type` into samples[index..127] until the channel is complete or the
// reader reaches the end of its sector; returns the index of the next sample, or -1 for a nibble
// type outside 0..7.
int decode_sample_run(BitReader& reader, int nibble_type, ChannelLevel& channel,
                      BlockSamples& samples, int index);
