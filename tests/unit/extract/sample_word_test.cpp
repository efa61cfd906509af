#include "extract/sample_word.h"

#include <gtest/gtest.h>

namespace {

struct WordCase {
    int resolution;
    uint32_t value;
    SampleScale scale;
    uint16_t raw;
};

class RawSampleWord : public ::testing::TestWithParam<WordCase> {};

TEST_P(RawSampleWord, MapsScalesAndRoundsToTheOutputResolution) {
    const WordCase& c = GetParam();
    OutputSettings settings;
    settings.set_resolution_bits(c.resolution);
    EXPECT_EQ(raw_sample_word(c.value, 0, c.scale, settings), c.raw);
    EXPECT_EQ(raw_sample_word(c.value, 0x9000, c.scale, settings), c.raw | 0x9000);
}

constexpr auto k10 = SampleScale::ten_bit;
constexpr auto k12 = SampleScale::twelve_bit;

INSTANTIATE_TEST_SUITE_P(
    Table, RawSampleWord,
    ::testing::Values(
        WordCase{12, 0, k12, 1}, WordCase{12, kNoDataValue, k12, 0}, WordCase{12, 4095, k12, 4095},
        WordCase{12, 0, k10, 4}, WordCase{12, 1023, k10, 4092}, WordCase{8, 5, k12, 16},
        WordCase{8, 4090, k12, 4080}, WordCase{8, 4087, k12, 4080}, WordCase{8, 24, k12, 32},
        WordCase{8, 23, k12, 16}, WordCase{8, kNoDataValue, k12, 0}, WordCase{10, 1023, k10, 4092},
        WordCase{9, 101, k10, 408}, WordCase{11, 6, k12, 6}, WordCase{11, 7, k12, 8}));

}  // namespace
