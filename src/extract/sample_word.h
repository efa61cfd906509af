// The 16-bit sample words of the outputs: the 12-bit value in bits 0-11 (0 meaning no data), a
// pace pulse in bit 12 and the pacing window in bit 15. The raw-file writers and the memory-mapped
// writers build every word here.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "extract/output_settings.h"
#include "format/recording_constants.h"
#include "format/twelve_lead_sector.h"

// The value a writer is handed for "no data": a gap second or a channel without samples.
inline constexpr uint32_t kNoDataValue = 65536;

enum class SampleScale {
    ten_bit,     // uncompressed 10-bit sectors: stored as value x 4
    twelve_bit,  // delta-coded and compressed sectors, and the calibration signal
};

namespace detail {

// No data becomes 0; a real sample of 0 becomes 1, so that 0 keeps its meaning.
inline uint32_t scaled_value(uint32_t value, SampleScale scale) {
    if (value == kNoDataValue) return 0;
    if (value == 0) value = 1;
    return scale == SampleScale::ten_bit ? (value & 0x3FFu) * 4 : value & 0xFFFu;
}

}  // namespace detail

// A raw-file word with the output resolution applied: dropped bits are rounded to the nearest
// step, except near full scale where rounding up would overflow 12 bits.
inline uint16_t raw_sample_word(uint32_t value, uint16_t marks, SampleScale scale,
                                const OutputSettings& settings) {
    uint32_t v = detail::scaled_value(value, scale);
    const int dropped = settings.resolution_shift;
    // A 10-bit sample already has its two low bits clear.
    const bool rounds = scale == SampleScale::ten_bit ? dropped > 2 : dropped > 0;
    if (v != 0 && rounds) {
        const auto half = static_cast<uint32_t>(settings.resolution_rounding);
        if (v < 4088) v = v < half ? 2 * half : v + half;
        v &= settings.resolution_mask;
    }
    return static_cast<uint16_t>(v | marks);
}

// A memory-mapped word: full resolution.
inline uint16_t mapped_sample_word(uint32_t value, uint16_t marks, SampleScale scale) {
    return static_cast<uint16_t>(detail::scaled_value(value, scale) | marks);
}

// The raw words of one time point of an uncompressed sector on the three stream channels; no data
// where the sector has no value.
inline std::array<uint16_t, 3> raw_time_point_words(std::span<const uint16_t> values,
                                                    SampleScale scale,
                                                    const OutputSettings& settings) {
    std::array<uint16_t, 3> words{};
    for (size_t c = 0; c < words.size(); ++c)
        words[c] =
            raw_sample_word(c < values.size() ? values[c] : kNoDataValue, 0, scale, settings);
    return words;
}

// The raw words of every value of a scale (a 10-bit value only by its low 10 bits), looked up
// instead of rounded one by one.
using RawWordTable = std::array<uint16_t, 4096>;

inline RawWordTable raw_value_words(SampleScale scale, const OutputSettings& settings) {
    RawWordTable words{};
    for (uint32_t v = 0; v < words.size(); ++v)
        words[v] = raw_sample_word(v, 0, scale, settings);
    return words;
}

// The raw words of a decoded second's 12-bit samples; entry 0, a channel the block declares
// absent, is the no-data word.
inline RawWordTable raw_second_words(const OutputSettings& settings) {
    RawWordTable words = raw_value_words(SampleScale::twelve_bit, settings);
    words[0] = raw_sample_word(kNoDataValue, 0, SampleScale::twelve_bit, settings);
    return words;
}

// The calibration square wave's two words as an output stores them: the 12-lead scale's own, or the
// recorder's levels through the raw word rule.
struct CalibrationWords {
    uint16_t low;
    uint16_t high;
};

inline CalibrationWords calibration_words(bool twelve_lead, const OutputSettings& settings) {
    if (twelve_lead) return {kLeadCalibrationLow, kLeadCalibrationHigh};
    return {raw_sample_word(kCalibrationLow, 0, SampleScale::twelve_bit, settings),
            raw_sample_word(kCalibrationHigh, 0, SampleScale::twelve_bit, settings)};
}
