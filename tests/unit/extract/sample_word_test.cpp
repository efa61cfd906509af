#include "extract/sample_word.h"

#include <gtest/gtest.h>

namespace {

TEST(RawSampleWord, MapsScalesAndRoundsToTheOutputResolution) {
    constexpr auto k10 = SampleScale::ten_bit;
    constexpr auto k12 = SampleScale::twelve_bit;
    const struct {
        int resolution;
        uint32_t value;
        SampleScale scale;
        uint16_t raw;
    } cases[] = {
        {12, 0, k12, 1},           {12, kNoDataValue, k12, 0},
        {12, 4095, k12, 4095},     {12, 0, k10, 4},
        {12, 1023, k10, 4092},     {8, 5, k12, 16},
        {8, 4090, k12, 4080},      {8, 4087, k12, 4080},
        {8, 24, k12, 32},          {8, 23, k12, 16},
        {8, kNoDataValue, k12, 0}, {10, 1023, k10, 4092},
        {9, 101, k10, 408},        {11, 6, k12, 6},
        {11, 7, k12, 8},
    };
    for (const auto& c : cases) {
        OutputSettings settings;
        settings.set_resolution_bits(c.resolution);
        EXPECT_EQ(raw_sample_word(c.value, 0, c.scale, settings), c.raw) << c.value;
        EXPECT_EQ(raw_sample_word(c.value, 0x9000, c.scale, settings), c.raw | 0x9000) << c.value;
    }
}

}  // namespace
