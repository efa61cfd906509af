#include "extract/sample_word.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "extract/raw_output.h"
#include "support/byte_order.h"
#include "test_folder.h"

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

namespace {

// A second whose channels run through the rounding edges (no data, 1, the half steps and the
// values near full scale) with pace marks and windows on some time points.
DecodedBlock edge_second() {
    const uint16_t edges[] = {0,   1,   2,    7,    8,    15,   16,   23,  24,
                              127, 128, 2047, 2048, 4080, 4087, 4088, 4095};
    DecodedBlock block;
    for (size_t c = 0; c < kMaxStreamChannels; ++c) {
        for (size_t t = 0; t < kSamplesPerBlock; ++t)
            block.channels[c][t] = edges[(t + 5 * c) % std::size(edges)];
    }
    for (size_t t = 0; t < kSamplesPerBlock; t += 9)
        block.marks[t] = t % 2 == 0 ? kPaceMark | kPacingWindowMark : kPacingWindowMark;
    return block;
}

}  // namespace

// The whole-second path gives each word that the word rule gives the sample and its marks.
TEST(RawOutput, DecodedSecondIsWrittenAsTheWordsOfItsSamplesAtEveryResolution) {
    const DecodedBlock block = edge_second();
    for (int resolution = 8; resolution <= 12; ++resolution) {
        SCOPED_TRACE(testing::Message() << "resolution " << resolution);
        OutputSettings settings;
        settings.set_resolution_bits(resolution);
        TestFolder folder;
        RawOutput output(settings, kSamplesPerBlock * 10, folder.path());
        ASSERT_TRUE(output.open());
        output.begin_recording({2, 0});
        output.write_second(block);
        output.write_second(block);
        ASSERT_TRUE(output.finish(false));
        for (size_t c = 0; c < 2; ++c) {
            const std::vector<uint8_t> bytes =
                read_bytes(folder / ("rawecg" + std::to_string(c + 1) + ".dat"));
            ASSERT_EQ(bytes.size(), 4u * kSamplesPerBlock);
            for (size_t i = 0; i < 2 * kSamplesPerBlock; ++i) {
                const size_t t = i % kSamplesPerBlock;
                const uint16_t value = block.channels[c][t];
                ASSERT_EQ(get_u16le(&bytes[2 * i]),
                          raw_sample_word(value == 0 ? kNoDataValue : value, block.marks[t],
                                          SampleScale::twelve_bit, settings))
                    << "channel " << c + 1 << ", word " << i;
            }
        }
        EXPECT_TRUE(read_bytes(folder / "rawecg3.dat").empty());
    }
}
